object Shop: TTestRoot
  object W: TTestWidget
  end
  object w: TTestWidget
  end
end
