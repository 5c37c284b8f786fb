#pragma once

class QMainWindow;

// Stands in for the app main window until it exists. Like the base main
// window it creates the settings object; it shows the app settings form.
// To be replaced by the construction of the real app main window.
QMainWindow* kv_create_placeholder_main_window();
