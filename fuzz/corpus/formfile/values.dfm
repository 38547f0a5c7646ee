object Values: TDataModule
  Tag = -12
  object Q: TKVQuery
    SQL.Strings = (
      'select * from T where A = :A'#13#10'and B = '#39'x'#39
      + ' -- more')
    Params = <
      item
        DataType = ftInteger
        Name = 'A'
        ParamType = ptInput
      end>
    Unknown = [a, b]
    Blob = {
      0001FF}
    Real = 1.5
  end
  object Other: TNoSuchClass
    Inner = (
      1
      2)
  end
end
