// kvsim: a headless controller simulator. It plays the controller's side of
// the link well enough to run the app against it and to test the app end to
// end; see --help for the options and the faults it can inject.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "kv_sim_controller.h"
#include "kv_demo_project.h"
#include "kv_large_project.h"
#include "kv_sim_options.h"

namespace {
// The simulator serves and changes its own copy, never the file it was given.
bool prepare_project(const KV_Sim_Options& options, const QString& copy)
{
    if (options.large_project)
        return kv_write_large_project(copy.toStdString());
    if (options.project_file.isEmpty())
        return kv_write_demo_project(copy.toStdString());
    if (!QFile::copy(options.project_file, copy)) {
        fprintf(stderr, "kvsim: cannot read %s\n", qPrintable(options.project_file));
        return false;
    }
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("kvsim");
    QCoreApplication::setApplicationVersion(KV_VERSION);
    const KV_Sim_Options options = kv_sim_parse_options(app);

    QTemporaryDir work_dir;
    const QString project = work_dir.filePath(KV_BOOT_PROJECT_FILE);
    if (!work_dir.isValid() || !prepare_project(options, project))
        return 1;
    CKV_Sim_Controller controller(options, project.toStdString());
    if (!controller.start())
        return 1;
    return app.exec();
}
