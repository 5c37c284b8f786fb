#pragma once
// Which pages the app shows: per logged-in user and per window orientation,
// and the title that tells the user which project is shown and whether it
// is live.

#include <QString>
#include <string>

class KV_GUI_Page;
class KV_Settings_Users;

// "root" sees every page; a page without a user list is everybody's;
// otherwise the ";"-separated list must name the user exactly.
bool kv_page_visible_to(const KV_GUI_Page& page, const std::string& user);

// The data logger: "root" always, other users by the analytics flag of
// their user record; a user the project does not know never.
bool kv_logger_allowed(const KV_Settings_Users& users, const std::string& user);

// A vertical page is shown only in portrait, a horizontal one only in
// landscape (KV_ORIENTATION_*).
bool kv_page_fits(bool vertical_page, int orientation);

// Inverted portrait counts as portrait, inverted landscape as landscape.
int kv_orientation_of(Qt::ScreenOrientation orientation);

// The window title; project_file empty for an unnamed project.
QString kv_window_title(const QString& project_file, bool connected);
