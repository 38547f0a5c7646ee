object Shop: TTestRoot
  object W: TTestWidget
    OnChange = NoSuchHandler
  end
end
