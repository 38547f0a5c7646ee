object TestForm: TTestForm
  Left = 0
  Top = 0
  ActiveControl = cbTable
  BorderStyle = bsDialog
  Caption = 'Test Dialog'
  ClientHeight = 280
  ClientWidth = 475
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = True
  Position = poScreenCenter
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  PixelsPerInch = 96
  TextHeight = 13
  object imgLogo: TImage
    Left = 3
    Top = 6
    Width = 100
    Height = 30
    AutoSize = True
    Picture.Data = {
      07544269746D6170AABBCC}
    Stretch = True
  end
  object lblLink: TLabel
    Left = 120
    Top = 10
    Width = 80
    Height = 13
    Cursor = crHandPoint
    Caption = 'Home Page'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clNavy
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsUnderline]
    ParentFont = False
    OnMouseDown = lblLinkMouseDown
  end
  object bvLine: TBevel
    Left = 6
    Top = 40
    Width = 307
    Height = 10
    Shape = bsTopLine
  end
  object pcPages: TPageControl
    Left = 0
    Top = 50
    Width = 475
    Height = 197
    ActivePage = tsOptions
    TabOrder = 0
    OnChange = pcPagesChange
    object tsOptions: TTabSheet
      Caption = 'Options'
      object gbxGen: TGroupBox
        Left = 3
        Top = 0
        Width = 460
        Height = 160
        Caption = 'Generation'
        TabOrder = 0
        object lblTable: TLabel
          Left = 9
          Top = 18
          Width = 60
          Height = 13
          Caption = 'Table &Name:'
        end
        object cbTable: TComboBox
          Left = 9
          Top = 33
          Width = 130
          Height = 21
          ItemIndex = 1
          TabOrder = 0
          Text = 'ORDERS'
          OnChange = cbTableChange
          Items.Strings = (
            'CUSTOMER'
            'ORDERS')
        end
        object btAction: TButton
          Left = 15
          Top = 60
          Width = 120
          Height = 25
          Caption = '&Action'
          TabOrder = 2
          OnClick = btActionClick
        end
        object btDisabled: TButton
          Left = 15
          Top = 90
          Width = 120
          Height = 25
          Caption = '&Disabled'
          Enabled = False
          TabOrder = 1
        end
        object lbFields: TListBox
          Left = 149
          Top = 33
          Width = 150
          Height = 100
          ItemHeight = 13
          Items.Strings = (
            'ID'
            'NAME'
            'CITY')
          MultiSelect = True
          PopupMenu = pmFields
          TabOrder = 3
          OnClick = lbFieldsClick
        end
        object cbQuoted: TCheckBox
          Left = 15
          Top = 130
          Width = 126
          Height = 17
          Caption = '&Quote Names'
          TabOrder = 4
          OnClick = cbQuotedClick
        end
        object edName: TEdit
          Left = 302
          Top = 33
          Width = 121
          Height = 21
          TabOrder = 5
          OnChange = edNameChange
        end
      end
    end
    object tsText: TTabSheet
      Caption = 'Text'
      ImageIndex = 1
      object rgrKind: TRadioGroup
        Left = 3
        Top = 6
        Width = 460
        Height = 37
        Caption = 'Kind'
        Columns = 4
        ItemIndex = 0
        Items.Strings = (
          '&Refresh'
          '&Modify')
        TabOrder = 1
        OnClick = rgrKindClick
      end
      object meText: TMemo
        Left = 3
        Top = 63
        Width = 460
        Height = 100
        ScrollBars = ssBoth
        TabOrder = 0
        OnChange = meTextChange
        OnExit = meTextExit
      end
      object edHidden: TEdit
        Left = 3
        Top = 170
        Width = 100
        Height = 21
        TabOrder = 2
        Visible = False
      end
    end
  end
  object pnlButtons: TPanel
    Left = 0
    Top = 247
    Width = 475
    Height = 33
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 1
    object btOk: TButton
      Left = 316
      Top = 5
      Width = 75
      Height = 25
      Caption = '&OK'
      Default = True
      ModalResult = 1
      TabOrder = 0
      OnClick = btOkClick
    end
    object btCancel: TButton
      Left = 396
      Top = 5
      Width = 75
      Height = 25
      Cancel = True
      Caption = 'Cancel'
      ModalResult = 2
      TabOrder = 1
    end
  end
  object pmFields: TPopupMenu
    Left = 200
    Top = 200
    object miSelectAll: TMenuItem
      Caption = '&Select All'
      OnClick = miSelectAllClick
    end
    object miClearAll: TMenuItem
      Caption = '&Clear All'
      OnClick = miClearAllClick
    end
  end
end
