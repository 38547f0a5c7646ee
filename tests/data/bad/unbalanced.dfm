object Shop: TTestRoot
  object W: TTestWidget
    Lines.Strings = (
      'a'
      'b']
  end
end
