#pragma once
// The local project and the settings hold the routes with their login
// digests, which are as good as the passwords: these files are readable by
// their owner only, whoever else shares the machine.

#include <QString>

// Makes every file and directory the process creates from now on private to
// its owner (umask 077), so that no file is ever briefly open to others.
// Called first thing at start.
void kv_private_files_from_now_on();

// Removes the group and other rights of the file at path, with one trace
// line, when it has any. Links and directories are left alone. False only
// when the file stays open to others.
bool kv_tighten_file(const QString& path);

// Tightens every file in dir whose name begins with name_prefix: the local
// project with its backup, journal and moved-aside copies.
void kv_tighten_files(const QString& dir, const QString& name_prefix);

// Tightens the files of the app's settings store.
void kv_tighten_settings_files();
