object Shop: TTestRoot
  object W: TTestWidget
    Caption = 'never closed
  end
end
