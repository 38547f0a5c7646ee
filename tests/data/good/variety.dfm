inherited Frame1: TFrame1
  inline Sub: TSubFrame [2]
    Values = (
      1
      -2
      3.25
      'text'
      ident
      [a, b]
      ()
      (
        'nested'))
    Amount = 12.5c
    When = 45000.5d
    Scale = 0.5s
    Huge = 1e+300
    Big = 9223372036854775807
    Small = -9223372036854775808
    Empty = ''
    NoSet = []
    Blob = {}
    Items = <
      item [0]
        X = 1
      end>
    SQL.Strings = (
      'This caption is deliberately longer than sixty-four characters, ' +
        'so the writer cuts it into parts.'
      'short')
  end
end
