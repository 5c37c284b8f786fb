#pragma once
#include <QString>

// The program, base and project directories, all with "/" separators and the
// base and project directories ending in "/".
struct KV_App_Dirs
{
    QString program_dir; // directory part of the program path, up to and including its last "/"
    QString base_dir;    // program_dir, ending in "/"
    QString project_dir; // base_dir + "project/", or base_dir itself when it already names "project"

    // Derived from the program's own path (the first element of the argument vector).
    // A path without any separator is taken whole as the program directory.
    static KV_App_Dirs from_program_path(const QString& program_path);

    // The program path as the directories need it after prepare() changed the
    // current directory: a relative path with folders ("build/app/kirovantor3")
    // made absolute, a bare name looked up through PATH as the shell did.
    // Other paths, and names not found, come back unchanged.
    static QString absolute_program_path(const QString& program_path);

    // An installed program, or one whose folder cannot be written, keeps its
    // files in the user's data folder `data_dir` instead of beside itself. A
    // program counts as installed when its prefix holds "share/kirovantor3"
    // (as /usr/bin/kirovantor3 has /usr/share/kirovantor3), so that even an
    // administrator's start leaves the system's program folder alone.
    void keep_files_in(const QString& data_dir);

    // Makes the base directory current and creates the project directory;
    // either may fail (missing or existing directory) without harm.
    void prepare() const;
};

// Creates the working directory when it is missing. Empty when the panel can
// keep its files there; otherwise the message for the user, naming the folder.
QString kv_prepare_working_dir(const QString& dir);
