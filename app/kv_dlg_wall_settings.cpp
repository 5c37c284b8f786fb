#include "kv_dlg_wall_settings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>

CKV_Dlg_Wall_Settings::CKV_Dlg_Wall_Settings(KV_Wall_Settings& wall, QWidget* parent)
    : QFrame(parent)
    , m_wall(wall)
{
    setObjectName(QStringLiteral("m_frame_group"));
    m_spinBox_idle_return = new QSpinBox;
    m_spinBox_idle_return->setObjectName(QStringLiteral("m_spinBox_idle_return"));
    m_spinBox_idle_return->setRange(0, KV_Wall_Settings::MAX_IDLE_MINUTES);
    m_spinBox_idle_return->setSuffix(QStringLiteral(" min"));
    m_checkBox_kiosk = new QCheckBox(QStringLiteral("Kiosk-Modus"));
    m_checkBox_kiosk->setObjectName(QStringLiteral("m_checkBox_kiosk"));
    m_lineEdit_pin = new QLineEdit;
    m_lineEdit_pin->setObjectName(QStringLiteral("m_lineEdit_pin"));
    m_lineEdit_pin->setEchoMode(QLineEdit::Password);
    // Digits only: the PIN overlay has no other keys.
    m_lineEdit_pin->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{4,8}")), this));

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Zur Startseite nach Leerlauf (0=aus)"), m_spinBox_idle_return);
    form->addRow(m_checkBox_kiosk);
    form->addRow(QStringLiteral("PIN für Einstellungen und Kiosk"), m_lineEdit_pin);
    refresh();

    connect(m_spinBox_idle_return, &QSpinBox::valueChanged, this, &CKV_Dlg_Wall_Settings::store);
    connect(m_checkBox_kiosk, &QCheckBox::clicked, this, &CKV_Dlg_Wall_Settings::store);
    // Only a complete PIN is taken (the validator keeps editingFinished back).
    connect(m_lineEdit_pin, &QLineEdit::editingFinished, this, &CKV_Dlg_Wall_Settings::store);
}

void CKV_Dlg_Wall_Settings::refresh()
{
    const QSignalBlocker block_spin(m_spinBox_idle_return);
    m_spinBox_idle_return->setValue(m_wall.idle_return_minutes);
    m_checkBox_kiosk->setChecked(m_wall.kiosk);
    m_lineEdit_pin->setText(m_wall.pin);
}

void CKV_Dlg_Wall_Settings::store()
{
    m_wall.idle_return_minutes = m_spinBox_idle_return->value();
    m_wall.kiosk = m_checkBox_kiosk->isChecked();
    if (m_lineEdit_pin->hasAcceptableInput())
        m_wall.pin = m_lineEdit_pin->text();
    m_wall.save();
    emit changed();
}
