object FieldLinkDesigner: TFieldLinkDesignerForm
  Left = 0
  Top = 0
  ActiveControl = lbDetailFields
  BorderStyle = bsDialog
  Caption = 'Field Link Designer'
  ClientHeight = 330
  ClientWidth = 360
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  OnCloseQuery = FormCloseQuery
  object lblIndexes: TLabel
    Left = 8
    Top = 12
    Width = 90
    Height = 13
    Caption = 'A&vailable Indexes'
    FocusControl = cbIndexes
  end
  object cbIndexes: TComboBox
    Left = 104
    Top = 8
    Width = 160
    Height = 21
    Style = csDropDownList
    TabOrder = 0
    OnChange = cbIndexesChange
  end
  object lblDetailFields: TLabel
    Left = 8
    Top = 36
    Width = 60
    Height = 13
    Caption = 'D&etail Fields'
    FocusControl = lbDetailFields
  end
  object lbDetailFields: TListBox
    Left = 8
    Top = 52
    Width = 130
    Height = 110
    TabOrder = 1
    OnClick = ListClick
  end
  object btAdd: TButton
    Left = 144
    Top = 90
    Width = 72
    Height = 25
    Caption = '&Add'
    TabOrder = 2
    OnClick = btAddClick
  end
  object lblMasterFields: TLabel
    Left = 222
    Top = 36
    Width = 60
    Height = 13
    Caption = '&Master Fields'
    FocusControl = lbMasterFields
  end
  object lbMasterFields: TListBox
    Left = 222
    Top = 52
    Width = 130
    Height = 110
    TabOrder = 3
    OnClick = ListClick
  end
  object lblJoinedFields: TLabel
    Left = 8
    Top = 170
    Width = 60
    Height = 13
    Caption = '&Joined Fields'
    FocusControl = lbJoinedFields
  end
  object lbJoinedFields: TListBox
    Left = 8
    Top = 186
    Width = 262
    Height = 100
    TabOrder = 4
    OnClick = ListClick
  end
  object btDelete: TButton
    Left = 278
    Top = 186
    Width = 74
    Height = 25
    Caption = '&Delete'
    TabOrder = 5
    OnClick = btDeleteClick
  end
  object btClear: TButton
    Left = 278
    Top = 216
    Width = 74
    Height = 25
    Caption = '&Clear'
    TabOrder = 6
    OnClick = btClearClick
  end
  object btOk: TButton
    Left = 196
    Top = 296
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 7
  end
  object btCancel: TButton
    Left = 277
    Top = 296
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 8
  end
end
