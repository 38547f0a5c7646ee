object ShopModule: TShopModule
  object ShopSession: TKVSession
    SessionName = 'Shop'
  end
  object ShopDB: TKVDatabase
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    ServerType = stFirebird
    RemoteDatabase = 'shop.fdb'
  end
  object Customers: TKVQuery
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    UpdateObject = CustomersUpdate
    SQL.Strings = (
      'select CUST_NO, NAME, CITY, TEL as PHONE from CUSTOMER')
  end
  object CustomersUpdate: TKVUpdateSQL
  end
  object Parts: TKVTable
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    TableName = 'PART'
  end
  object CloseOrder: TKVStoredProc
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    StoredProcName = 'CLOSE_ORDER'
  end
  object CreateViews: TKVScript
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    SQL.Strings = (
      'create or alter view OPEN_ORDERS as'
      '  select * from ORDERS where STATUS = ''open''')
  end
  object ShopMonitor: TKVMonitor
  end
end
