object Shop: TTestRoot
  object W: TTestWidget
    Caption = 'café'
  end
end
