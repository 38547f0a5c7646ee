object Shop: TTestRoot
  object W: TTestWidget
    Caption = 'x'
  end
