// A dialog under test, opened over a fresh config folder with a recording
// engine and driven as a user drives it; no window, shape or list may outlive a test.
#pragma once

#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "DlgKerfmate.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <memory>

class DialogFixture
{
protected:
    // From the test class's init() and cleanup().
    void SetUpDialogTest()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("QMetaObject::connectSlotsByName")));
        m_config = std::make_unique<TempConfig>();
        m_engine.clear();
        UseEngine(&m_engine);
        m_nShapesBefore = CShape::LiveCount();
        m_nListsBefore = CShapeList::LiveCount();
    }
    void TearDownDialogTest()
    {
        m_dlg.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QCOMPARE(CShape::LiveCount(), m_nShapesBefore);
        QCOMPARE(CShapeList::LiveCount(), m_nListsBefore);
        m_config.reset();
    }

    void Open()
    {
        m_dlg.reset(); // one dialog at a time
        m_dlg = std::make_unique<DlgKerfmate>(nullptr);
        m_dlg->show();
    }
    // Opens the dialog shown and active, so that focus moves as it does for
    // a user, and picks generator nIndex with the keyboard.
    bool OpenPage(int nIndex)
    {
        static const char* const pages[] = {"widget_RectBoxParams", "widget_FilletBoxParams",
                                            "widget_GearBoxParams", "widget_SealBoxParams"};
        Open();
        if (!QTest::qWaitForWindowActive(m_dlg.get()))
            return false;
        auto* combo = m_dlg->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
        for (int i = 0; i < nIndex; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        return combo->currentIndex() == nIndex && m_dlg->findChild<QWidget*>(QLatin1String(pages[nIndex]))->isVisible();
    }

    // Forgets what was logged and built so far.
    void Settle()
    {
        m_config->clearLog();
        m_engine.clear();
    }

    template <typename T>
    T* Widget(const QString& name) const
    {
        if (T* widget = m_dlg->findChild<T*>(name))
            return widget;
        qFatal("no widget %s", qPrintable(name));
    }
    QDoubleSpinBox* Spin(const QString& name) const { return Widget<QDoubleSpinBox>(name); }
    // The values the named spin boxes show.
    QList<double> Values(std::initializer_list<const char*> names) const
    {
        QList<double> values;
        for (const char* name : names)
            values << Widget<QWidget>(QLatin1String(name))->property("value").toDouble();
        return values;
    }
    // Value, minimum and maximum of a spin box or slider.
    template <typename T>
    static QList<double> Shown(const T* pWidget)
    {
        return {double(pWidget->value()), double(pWidget->minimum()), double(pWidget->maximum())};
    }

    QByteArray LastRecordOf(const QString& op) const
    {
        return m_engine.count(op) ? m_engine.last(op)->record : QByteArray();
    }

    // Each "key=..." of entries as "key=value" with the value Kerfmate.ini holds.
    QStringList Saved(const QString& group, QStringList entries) const
    {
        for (QString& entry : entries) {
            const QString key = entry.section(QLatin1Char('='), 0, 0);
            entry = key + QLatin1Char('=') + m_config->iniValue(group, key).toString();
        }
        return entries;
    }

    // Each value a widget took (one signal each) logged the sentences and built nBuildsEach times.
    void VerifyPerChange(const QSignalSpy& changes, const QStringList& sentences, int nBuildsEach = 1) const
    {
        QVERIFY(!changes.isEmpty());
        QStringList expected;
        for (int i = 0; i < changes.count(); ++i)
            expected += sentences;
        QCOMPARE(m_config->logSentences(), expected);
        QCOMPARE(m_engine.count(), nBuildsEach * int(changes.count()));
    }

    // Types over the field's content and confirms with Return.
    static void Enter(QWidget* pField, const QString& text)
    {
        TypeOver(pField, text);
        QTest::keyClick(pField, Qt::Key_Return);
    }

    // A click on the button's indicator, which counts whatever room the layout gives the button.
    static void ClickIndicator(QAbstractButton* pButton)
    {
        QStyleOptionButton option;
        option.initFrom(pButton);
        const QStyle::SubElement element =
            qobject_cast<QRadioButton*>(pButton) ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator;
        const QRect indicator = pButton->style()->subElementRect(element, &option, pButton);
        QTest::mouseClick(pButton, Qt::LeftButton, Qt::KeyboardModifiers(), indicator.center());
    }

    std::unique_ptr<TempConfig> m_config;
    RecordingEngine m_engine;
    std::unique_ptr<DlgKerfmate> m_dlg;
    long m_nShapesBefore = 0;
    long m_nListsBefore = 0;
};
