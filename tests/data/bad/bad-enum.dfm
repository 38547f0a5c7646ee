object Shop: TTestRoot
  object W: TTestWidget
    Kind = tkDelta
  end
end
