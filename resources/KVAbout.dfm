object KVAboutDlg: TKVAboutDlg
  Left = 0
  Top = 0
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'About Korvane'
  ClientHeight = 186
  ClientWidth = 321
  Color = clBtnFace
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poScreenCenter
  Scaled = False
  OnCreate = FormCreate
  object imgLogo: TImage
    Left = 3
    Top = 6
    Width = 100
    Height = 30
    AutoSize = True
    Stretch = True
  end
  object lblNotice: TLabel
    Left = 22
    Top = 168
    Width = 273
    Height = 13
    Alignment = taCenter
    AutoSize = False
  end
  object bvNotice: TBevel
    Left = 6
    Top = 159
    Width = 307
    Height = 10
    Shape = bsTopLine
  end
  object lblHome: TLabel
    Left = 120
    Top = 72
    Width = 80
    Height = 13
    Cursor = crHandPoint
    Caption = 'Korvane Home'
    Font.Color = clNavy
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsUnderline]
    ParentFont = False
    OnMouseDown = lblHomeMouseDown
  end
  object lblOrder: TLabel
    Left = 75
    Top = 114
    Width = 170
    Height = 13
    Caption = 'Order Korvane online NOW:'
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object lblProductName: TLabel
    Left = 111
    Top = 6
    Width = 78
    Height = 16
    Caption = 'Korvane'
    Font.Height = -13
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold, fsItalic]
    ParentFont = False
  end
  object lblVersion: TLabel
    Left = 111
    Top = 27
    Width = 35
    Height = 13
    Caption = 'Version'
  end
  object lblSupport: TLabel
    Left = 100
    Top = 93
    Width = 121
    Height = 13
    Cursor = crHandPoint
    Caption = 'Korvane E:Mail Support'
    Font.Color = clNavy
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsUnderline]
    ParentFont = False
    OnMouseDown = lblSupportMouseDown
  end
  object lblLinks: TLabel
    Left = 27
    Top = 51
    Width = 267
    Height = 13
    Caption = 'For additial information visit the following links:'
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object lblOrderStandard: TLabel
    Left = 9
    Top = 135
    Width = 131
    Height = 13
    Cursor = crHandPoint
    Alignment = taCenter
    AutoSize = False
    Caption = 'Korvane Standard'
    Font.Color = clNavy
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsUnderline]
    ParentFont = False
    OnMouseDown = lblOrderMouseDown
  end
  object lblOrderProfessional: TLabel
    Left = 180
    Top = 135
    Width = 131
    Height = 13
    Cursor = crHandPoint
    Alignment = taCenter
    AutoSize = False
    Caption = 'Korvane Professional'
    Font.Color = clNavy
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsUnderline]
    ParentFont = False
    OnMouseDown = lblOrderMouseDown
  end
  object btOk: TButton
    Left = 243
    Top = 6
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 0
  end
end
