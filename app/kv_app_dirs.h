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

    // A relative program path with folders ("build/app/kirovantor3") made
    // absolute, so that the directories stay right after prepare() changes
    // the current directory. Other paths come back unchanged.
    static QString absolute_program_path(const QString& program_path);

    // Makes the base directory current and creates the project directory;
    // either may fail (missing or existing directory) without harm.
    void prepare() const;
};
