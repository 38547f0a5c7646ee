object KVDatabaseEditDlg: TKVDatabaseEditDlg
  Left = 0
  Top = 0
  ActiveControl = edDatabaseName
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'Database Properties'
  ClientHeight = 371
  ClientWidth = 442
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  OnShow = FormShow
  object lblDatabaseName: TLabel
    Left = 8
    Top = 8
    Caption = '&Database name:'
    FocusControl = edDatabaseName
  end
  object lblServerType: TLabel
    Left = 224
    Top = 8
    Caption = '&Server type:'
    FocusControl = cbServerType
  end
  object lblRemoteDatabase: TLabel
    Left = 8
    Top = 52
    Caption = '&Remote database:'
    FocusControl = cbRemoteDatabase
  end
  object lblParams: TLabel
    Left = 8
    Top = 154
    Caption = '&Parameters (name=value):'
    FocusControl = meParams
  end
  object bvButtons: TBevel
    Left = 8
    Top = 328
    Width = 426
    Height = 4
    Shape = bsTopLine
  end
  object edDatabaseName: TEdit
    Left = 8
    Top = 24
    Width = 209
    Height = 21
    TabOrder = 0
  end
  object cbServerType: TComboBox
    Left = 224
    Top = 24
    Width = 210
    Height = 21
    Style = csDropDownList
    TabOrder = 1
  end
  object cbRemoteDatabase: TComboBox
    Left = 8
    Top = 68
    Width = 401
    Height = 21
    DropDownCount = 12
    TabOrder = 2
  end
  object btRemoteDatabase: TButton
    Left = 412
    Top = 67
    Width = 22
    Height = 23
    Hint = 'Edit the remote database in the form its server type reads'
    Caption = '...'
    ShowHint = True
    TabOrder = 3
    OnClick = btRemoteDatabaseClick
  end
  object gbxOptions: TGroupBox
    Left = 8
    Top = 96
    Width = 426
    Height = 52
    Caption = 'Options'
    TabOrder = 4
    object cbKeepConnection: TCheckBox
      Left = 10
      Top = 16
      Width = 200
      Height = 17
      Caption = '&Keep connection'
      TabOrder = 0
    end
    object cbLoginPrompt: TCheckBox
      Left = 10
      Top = 32
      Width = 200
      Height = 17
      Caption = '&Login prompt'
      TabOrder = 1
    end
    object cbDefaultDatabase: TCheckBox
      Left = 216
      Top = 16
      Width = 200
      Height = 17
      Caption = 'Default &database of its session'
      TabOrder = 2
    end
    object cbStoreConnected: TCheckBox
      Left = 216
      Top = 32
      Width = 200
      Height = 17
      Caption = 'S&tore connected'
      TabOrder = 3
    end
  end
  object meParams: TMemo
    Left = 8
    Top = 170
    Width = 290
    Height = 150
    ScrollBars = ssBoth
    WordWrap = False
    TabOrder = 5
  end
  object btLoadDefaults: TButton
    Left = 306
    Top = 170
    Width = 128
    Height = 25
    Caption = 'L&oad Defaults'
    TabOrder = 6
    OnClick = btLoadDefaultsClick
  end
  object btSaveDefaults: TButton
    Left = 306
    Top = 202
    Width = 128
    Height = 25
    Caption = 'S&ave Defaults'
    TabOrder = 7
    OnClick = btSaveDefaultsClick
  end
  object btSaveDefaultSrvType: TButton
    Left = 306
    Top = 234
    Width = 128
    Height = 25
    Caption = 'Save Default Server T&ype'
    TabOrder = 8
    OnClick = btSaveDefaultSrvTypeClick
  end
  object btOk: TButton
    Left = 278
    Top = 338
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 9
  end
  object btCancel: TButton
    Left = 359
    Top = 338
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 10
  end
end
