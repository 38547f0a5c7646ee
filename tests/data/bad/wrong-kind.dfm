object Shop: TTestRoot
  object W: TTestWidget
    Count = 'abc'
  end
end
