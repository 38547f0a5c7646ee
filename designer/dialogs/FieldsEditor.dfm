object FieldsEditor: TFieldsEditorForm
  Left = 0
  Top = 0
  ActiveControl = lbFields
  BorderIcons = [biSystemMenu]
  BorderStyle = bsSizeToolWin
  Caption = 'Fields'
  ClientHeight = 300
  ClientWidth = 220
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  object lblCount: TLabel
    Left = 8
    Top = 8
    Width = 204
    Height = 13
    AutoSize = False
    Caption = '0 fields'
  end
  object lbFields: TListBox
    Left = 8
    Top = 26
    Width = 204
    Height = 200
    TabOrder = 0
    OnClick = lbFieldsClick
  end
  object lblFieldInfo: TLabel
    Left = 8
    Top = 232
    Width = 204
    Height = 26
    AutoSize = False
    WordWrap = True
  end
  object btOk: TButton
    Left = 137
    Top = 268
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
  end
end
