#pragma once
#include "kv_app_dirs.h"
#include "kv_command_line.h"

class QMainWindow;
class QWidget;
class CKV_Dlg_Settings;
class CKV_Project_Db;
class CKV_Studio_Network_Client;

// The process-wide objects of the app, reachable from every part.
struct KV_App_Context
{
    QMainWindow* main_window = nullptr;    // the app main window, registered by itself
    QWidget* second_window = nullptr;      // optional second window, normally none
    CKV_Dlg_Settings* settings = nullptr;  // the settings object, registered by itself
    CKV_Project_Db* project = nullptr;     // the project store of the main window
    CKV_Studio_Network_Client* client = nullptr; // the one network client of the main window
    KV_App_Flags flags;
    KV_App_Dirs dirs;
};

KV_App_Context& kv_app();
