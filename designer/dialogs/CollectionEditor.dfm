object CollectionEditor: TCollectionEditorForm
  Left = 0
  Top = 0
  ActiveControl = lbItems
  BorderIcons = [biSystemMenu]
  BorderStyle = bsSizeToolWin
  Caption = 'Editing'
  ClientHeight = 330
  ClientWidth = 420
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  object lblItems: TLabel
    Left = 8
    Top = 8
    Width = 40
    Height = 13
    Caption = '&Items:'
    FocusControl = lbItems
  end
  object lbItems: TListBox
    Left = 8
    Top = 24
    Width = 200
    Height = 260
    TabOrder = 0
    OnClick = lbItemsClick
  end
  object btAdd: TButton
    Left = 8
    Top = 292
    Width = 48
    Height = 25
    Caption = '&Add'
    TabOrder = 1
    OnClick = btAddClick
  end
  object btDelete: TButton
    Left = 58
    Top = 292
    Width = 48
    Height = 25
    Caption = '&Delete'
    TabOrder = 2
    OnClick = btDeleteClick
  end
  object btMoveUp: TButton
    Left = 108
    Top = 292
    Width = 48
    Height = 25
    Caption = 'Move &Up'
    TabOrder = 3
    OnClick = btMoveUpClick
  end
  object btMoveDown: TButton
    Left = 158
    Top = 292
    Width = 50
    Height = 25
    Caption = 'Move Do&wn'
    TabOrder = 4
    OnClick = btMoveDownClick
  end
  object lblProperties: TLabel
    Left = 216
    Top = 8
    Width = 60
    Height = 13
    Caption = '&Properties:'
    FocusControl = lbProperties
  end
  object lbProperties: TListBox
    Left = 216
    Top = 24
    Width = 196
    Height = 224
    TabOrder = 5
    OnClick = lbPropertiesClick
  end
  object cbValue: TComboBox
    Left = 216
    Top = 256
    Width = 140
    Height = 21
    TabOrder = 6
  end
  object btSet: TButton
    Left = 362
    Top = 254
    Width = 50
    Height = 25
    Caption = '&Set'
    Default = True
    TabOrder = 7
    OnClick = btSetClick
  end
  object btClose: TButton
    Left = 337
    Top = 292
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Close'
    ModalResult = 1
    TabOrder = 8
  end
end
