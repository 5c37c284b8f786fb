#include "kv_gui_overlay_pin.h"

#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

CKV_Gui_Overlay_Pin::CKV_Gui_Overlay_Pin(const QString& expected_pin, QWidget* parent)
    : QWidget(parent)
    , m_expected(expected_pin)
{
    setObjectName(QStringLiteral("kv_gui_overlay_pin"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("kv_gui_overlay_pin_panel"));
    auto* column = new QVBoxLayout(panel);
    column->addWidget(new QLabel(QStringLiteral("PIN eingeben"), panel), 0, Qt::AlignHCenter);
    m_input = new QLineEdit(panel);
    m_input->setEchoMode(QLineEdit::Password);
    m_input->setAlignment(Qt::AlignCenter);
    column->addWidget(m_input);
    m_error = new QLabel(QStringLiteral("Falsche Eingabe"), panel);
    m_error->setProperty("error", "true");
    m_error->hide();
    column->addWidget(m_error, 0, Qt::AlignHCenter);

    auto* keys = new QGridLayout;
    for (int digit = 1; digit <= 9; ++digit) {
        auto* key = new QPushButton(QString::number(digit), panel);
        keys->addWidget(key, (digit - 1) / 3, (digit - 1) % 3);
        connect(key, &QPushButton::clicked, this, [this, digit] { m_input->insert(QString::number(digit)); });
    }
    auto* zero = new QPushButton(QStringLiteral("0"), panel);
    connect(zero, &QPushButton::clicked, this, [this] { m_input->insert(QStringLiteral("0")); });
    auto* back = new QPushButton(QStringLiteral("\u232B"), panel);
    connect(back, &QPushButton::clicked, m_input, &QLineEdit::backspace);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), panel);
    connect(cancel, &QPushButton::clicked, this, &CKV_Gui_Overlay_Pin::slot_cancel);
    keys->addWidget(back, 3, 0);
    keys->addWidget(zero, 3, 1);
    keys->addWidget(cancel, 3, 2);
    column->addLayout(keys);

    auto* outer = new QVBoxLayout(this);
    outer->addStretch();
    outer->addWidget(panel, 0, Qt::AlignHCenter);
    outer->addStretch();

    connect(m_input, &QLineEdit::textChanged, this, &CKV_Gui_Overlay_Pin::slot_input_changed);
}

void CKV_Gui_Overlay_Pin::show_over(QWidget* area)
{
    if (area)
        setGeometry(area->rect());
    show();
    raise();
    m_input->setFocus();
}

void CKV_Gui_Overlay_Pin::slot_input_changed(const QString& text)
{
    if (text.size() != m_expected.size())
        return;
    if (text == m_expected) {
        m_input->clear();
        m_error->hide();
        hide();
        emit accepted();
        return;
    }
    m_error->show();
    qDebug("falscher PIN");
    m_input->clear();
}

void CKV_Gui_Overlay_Pin::slot_cancel()
{
    hide();
    emit cancelled();
    m_error->hide();
    m_input->clear();
}

void CKV_Gui_Overlay_Pin::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 120));
}
