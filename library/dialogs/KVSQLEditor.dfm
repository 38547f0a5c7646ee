object KVSQLEditorDlg: TKVSQLEditorDlg
  Left = 0
  Top = 0
  ActiveControl = meSQL
  BorderIcons = [biSystemMenu, biMaximize]
  Caption = 'SQL'
  ClientHeight = 320
  ClientWidth = 520
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  object meSQL: TMemo
    Left = 8
    Top = 8
    Width = 504
    Height = 270
    Font.Height = -12
    Font.Name = 'Courier New'
    ParentFont = False
    ScrollBars = ssBoth
    WantTabs = True
    WordWrap = False
    TabOrder = 0
  end
  object btCodeEditor: TButton
    Left = 8
    Top = 287
    Width = 100
    Height = 25
    Caption = 'C&ode Editor...'
    TabOrder = 1
    OnClick = btCodeEditorClick
  end
  object btOk: TButton
    Left = 356
    Top = 287
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 2
  end
  object btCancel: TButton
    Left = 437
    Top = 287
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 3
  end
end
