#pragma once
// The decoded images of the open project's stored files, each decoded once
// and shared by every page and control. SVG files are drawn through the SVG
// renderer at their own size.

#include <QHash>
#include <QPixmap>
#include <QSet>
#include <QString>

class CKV_Project_Db;

class KV_Image_Cache {
public:
    explicit KV_Image_Cache(CKV_Project_Db& project);

    // A null pixmap when the project has no such file or it is no image;
    // that is traced once per name.
    QPixmap image(const QString& name);
    // Forgets every image; done whenever another project is opened.
    void clear();

private:
    QPixmap decode(const QString& name);

    CKV_Project_Db& m_project;
    QHash<QString, QPixmap> m_images;
    QSet<QString> m_missing;
};
