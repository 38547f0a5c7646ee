object Shop: TTestRoot
  object W: TTestWidget
    Caption = 'a'#55357 +
      'b'
  end
end
