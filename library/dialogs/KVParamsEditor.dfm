object KVParamsEditorDlg: TKVParamsEditorDlg
  Left = 0
  Top = 0
  ActiveControl = meParams
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'Connection Parameters'
  ClientHeight = 280
  ClientWidth = 400
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  object lblParams: TLabel
    Left = 8
    Top = 8
    Caption = '&Parameters, one name=value line each:'
    FocusControl = meParams
  end
  object meParams: TMemo
    Left = 8
    Top = 24
    Width = 384
    Height = 214
    ScrollBars = ssBoth
    WordWrap = False
    TabOrder = 0
  end
  object btDefaults: TButton
    Left = 8
    Top = 247
    Width = 75
    Height = 25
    Caption = '&Defaults'
    TabOrder = 1
    OnClick = btDefaultsClick
  end
  object btCodeEditor: TButton
    Left = 89
    Top = 247
    Width = 100
    Height = 25
    Caption = 'C&ode Editor...'
    TabOrder = 2
    OnClick = btCodeEditorClick
  end
  object btOk: TButton
    Left = 236
    Top = 247
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 3
  end
  object btCancel: TButton
    Left = 317
    Top = 247
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 4
  end
end
