object Shop: TTestRoot
  object W: TTestWidget
    Caption = 'a'#70000
  end
end
