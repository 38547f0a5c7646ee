object DataModule1: TDataModule1
  OldCreateOrder = False
  Height = 150
  Width = 215
  object ClientDataSet1: TClientDataSet
    Aggregates = <>
    Params = <
      item
        DataType = ftString
        Name = 'City'
        ParamType = ptInput
      end>
    ProviderName = 'Provider1'
    Left = 24
    Top = 16
    Data = {
      000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F
      202122232425262728292A2B2C2D2E2F303132333435363738393A3B3C3D3E3F
      404142434445464748494A4B4C4D4E4F}
    object ClientDataSet1Name: TStringField
      FieldName = 'Name'
      Size = 40
    end
  end
  object Widget1: TTestWidget
    Tag = 3
    Caption = 'Known'
    Color = clRed
    Count = 5
    Left = 100
    Top = 50
    Font.Size = 9
    Font.Color = clBlue
    Columns = <
      item
        Caption = 'A'
        Alignment = taRightJustify
      end>
    Link = ClientDataSet1
  end
  object DataSource1: TDataSource
    DataSet = ClientDataSet1
    Left = 104
    Top = 16
  end
end
