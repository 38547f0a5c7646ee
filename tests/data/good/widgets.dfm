object Shop: TTestRoot
  object Title: TTestWidget
    Caption = 'Gr'#252#223'e, it''s a '#8220'test'#8221' '#55357#56832
    Count = -42
    Active = True
    Kind = tkGamma
    Options = [toBold, toUnderline]
    Ratio = 2.5
    Font.Name = 'Courier New'
    Font.Size = 12
    Lines.Strings = (
      'select *'
      'from "Orders"'
      'where Name = ''x'''
      #9'tabbed'#13#10'and broken')
    Columns = <
      item
        Caption = 'Id'
        Width = 20
      end
      item
        Caption = 'Name'
      end>
    Link = Second
    OnChange = WidgetChange
  end
  object Second: TTestWidget
    Tag = 7
    Caption =
      'This caption is deliberately longer than sixty-four characters, ' +
      'so the writer cuts it into parts.'
    Link = Owner
  end
  object Third: TTestWidget
    Kind = tkBeta
    Link = Form2.Query1
  end
  object Fourth: TTestWidget
    Link = Missing
    OnChange = WidgetChange
  end
end
