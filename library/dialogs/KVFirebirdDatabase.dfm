object KVFirebirdDatabaseDlg: TKVFirebirdDatabaseDlg
  Left = 0
  Top = 0
  ActiveControl = edDatabaseFile
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'Firebird Database'
  ClientHeight = 92
  ClientWidth = 420
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  object lblDatabaseFile: TLabel
    Left = 8
    Top = 8
    Caption = 'Database &file, or server as host[/port]:path:'
    FocusControl = edDatabaseFile
  end
  object edDatabaseFile: TEdit
    Left = 8
    Top = 24
    Width = 323
    Height = 21
    TabOrder = 0
  end
  object btBrowse: TButton
    Left = 337
    Top = 22
    Width = 75
    Height = 25
    Caption = '&Browse...'
    TabOrder = 1
    OnClick = btBrowseClick
  end
  object btOk: TButton
    Left = 256
    Top = 59
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 2
  end
  object btCancel: TButton
    Left = 337
    Top = 59
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 3
  end
end
