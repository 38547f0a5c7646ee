object ShopModule: TShopModule
  object ShopSession: TKVSession
    SessionName = 'Shop'
  end
  object ShopDB: TKVDatabase
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    ServerType = stMariaDB
    RemoteDatabase = 'localhost:3306/shop'
  end
  object Customers: TKVQuery
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    UpdateObject = CustomersUpdate
    SQL.Strings = (
      'select cust_no, name, city, tel as phone from customer')
  end
  object CustomersUpdate: TKVUpdateSQL
  end
  object Parts: TKVTable
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    TableName = 'part'
  end
  object CloseOrder: TKVStoredProc
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    StoredProcName = 'close_order'
  end
  object CreateViews: TKVScript
    DatabaseName = 'ShopData'
    SessionName = 'Shop'
    SQL.Strings = (
      'create or replace view open_orders as'
      '  select * from `ORDER` where status = ''open''')
  end
  object ShopMonitor: TKVMonitor
  end
end
