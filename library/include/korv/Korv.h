// The whole component library in one include.
#pragma once

#include "korv/KVCommon.h"
#include "korv/KVConsts.h"
#include "korv/KVDataSet.h"
#include "korv/KVDatabase.h"
#include "korv/KVMonitor.h"
#include "korv/KVQuery.h"
#include "korv/KVResultSet.h"
#include "korv/KVSQLBaseServer.h"
#include "korv/KVScript.h"
#include "korv/KVSession.h"
#include "korv/KVStoredProc.h"
#include "korv/KVTable.h"
#include "korv/KVTypes.h"
#include "korv/KVUpdateSQL.h"
#include "korv/ServerTypes.h"
#include "korv/VersionInfo.h"
