object StringListEditor: TStringListEditorForm
  Left = 0
  Top = 0
  ActiveControl = meLines
  BorderIcons = [biSystemMenu]
  BorderStyle = bsSizeable
  Caption = 'String List Editor'
  ClientHeight = 280
  ClientWidth = 430
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  object lblLineCount: TLabel
    Left = 8
    Top = 8
    Width = 200
    Height = 13
    AutoSize = False
    Caption = '0 lines'
  end
  object meLines: TMemo
    Left = 8
    Top = 26
    Width = 414
    Height = 210
    ScrollBars = ssBoth
    TabOrder = 0
    WordWrap = False
    OnChange = meLinesChange
  end
  object btCodeEditor: TButton
    Left = 8
    Top = 246
    Width = 100
    Height = 25
    Caption = '&Code Editor...'
    ModalResult = 6
    TabOrder = 1
  end
  object btOk: TButton
    Left = 266
    Top = 246
    Width = 75
    Height = 25
    Caption = 'OK'
    ModalResult = 1
    TabOrder = 2
  end
  object btCancel: TButton
    Left = 347
    Top = 246
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 3
  end
end
