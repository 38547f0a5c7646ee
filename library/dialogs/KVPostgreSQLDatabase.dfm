object KVPostgreSQLDatabaseDlg: TKVPostgreSQLDatabaseDlg
  Left = 0
  Top = 0
  ActiveControl = edHost
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'PostgreSQL Database'
  ClientHeight = 134
  ClientWidth = 340
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  OnCloseQuery = FormCloseQuery
  object lblHost: TLabel
    Left = 8
    Top = 8
    Caption = '&Host (empty: the local server):'
    FocusControl = edHost
  end
  object lblPort: TLabel
    Left = 252
    Top = 8
    Caption = '&Port:'
    FocusControl = edPort
  end
  object lblDatabase: TLabel
    Left = 8
    Top = 52
    Caption = '&Database:'
    FocusControl = edDatabase
  end
  object edHost: TEdit
    Left = 8
    Top = 24
    Width = 238
    Height = 21
    TabOrder = 0
  end
  object edPort: TEdit
    Left = 252
    Top = 24
    Width = 80
    Height = 21
    TabOrder = 1
  end
  object edDatabase: TEdit
    Left = 8
    Top = 68
    Width = 324
    Height = 21
    TabOrder = 2
  end
  object btOk: TButton
    Left = 176
    Top = 101
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 3
  end
  object btCancel: TButton
    Left = 257
    Top = 101
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 4
  end
end
