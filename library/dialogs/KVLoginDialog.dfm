object KVLoginDlg: TKVLoginDlg
  Left = 0
  Top = 0
  ActiveControl = edPassword
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'Database Login'
  ClientHeight = 142
  ClientWidth = 300
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  object lblDatabase: TLabel
    Left = 8
    Top = 8
    Caption = 'Database:'
  end
  object lblUserName: TLabel
    Left = 8
    Top = 36
    Caption = '&User name:'
    FocusControl = edUserName
  end
  object lblPassword: TLabel
    Left = 8
    Top = 68
    Caption = '&Password:'
    FocusControl = edPassword
  end
  object edUserName: TEdit
    Left = 88
    Top = 32
    Width = 204
    Height = 21
    TabOrder = 0
  end
  object edPassword: TEdit
    Left = 88
    Top = 64
    Width = 204
    Height = 21
    PasswordChar = '*'
    TabOrder = 1
  end
  object btOk: TButton
    Left = 136
    Top = 109
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 2
  end
  object btCancel: TButton
    Left = 217
    Top = 109
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 3
  end
end
