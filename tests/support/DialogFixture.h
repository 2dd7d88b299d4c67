// A dialog under test, opened over a fresh config folder with a recording
// engine, and driven the way a user drives it. After each test no window,
// shape or shape list may be left behind.
#pragma once

#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "DlgKerfmate.h"

#include <QAbstractButton>
#include <QApplication>
#include <QByteArray>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <cstring>
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
        m_dlg = std::make_unique<DlgKerfmate>(nullptr);
        m_dlg->show();
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
        T* widget = m_dlg->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QDoubleSpinBox* Spin(const QString& name) const { return Widget<QDoubleSpinBox>(name); }

    QByteArray LastRecordOf(const QString& op) const
    {
        const RecordingEngine::Call* call = m_engine.last(op);
        return call ? call->record : QByteArray();
    }

    // Every value a widget took (one signal each in changes) logged the
    // given sentences and built nBuildsEach times.
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

    // A click on the button's indicator, where a click always counts
    // whatever room the layout gives the button.
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

// The value of type T at byte offset nOffset of a record copy.
template <typename T>
T FieldAt(const QByteArray& record, int nOffset)
{
    T value{};
    if (nOffset >= 0 && nOffset + int(sizeof(T)) <= record.size())
        std::memcpy(&value, record.constData() + nOffset, sizeof(T));
    return value;
}
