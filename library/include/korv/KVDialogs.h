// The library's dialogs, all in one include.
#pragma once

#include "korv/KVDatabaseEditDlg.h"
#include "korv/KVLoginDialog.h"
#include "korv/KVParamsEditor.h"
#include "korv/KVRemoteDatabaseInput.h"
#include "korv/KVSQLEditor.h"
