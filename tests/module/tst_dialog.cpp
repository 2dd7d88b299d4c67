// The dialog itself: its texts and languages, the live preview, and where
// it opens.
#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "CTranslator.h"
#include "DlgKerfmate.h"
#include "ParameterTable.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGraphicsPathItem>
#include <QGraphicsView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSet>
#include <QtTest>
#include <cmath>

namespace {
const char* const kPages[] = {"widget_RectBoxParams", "widget_FilletBoxParams", "widget_GearBoxParams",
                              "widget_SealBoxParams"};

QJsonObject Catalogue(const QString& code)
{
    QFile file(QStringLiteral(":/kerfmate/i18n/%1.json").arg(code));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

// Every label's and button's text, by object name; the reference sizes
// carry unit texts, not wordings.
QMap<QString, QString> Texts(const QWidget* pRoot)
{
    QMap<QString, QString> texts;
    for (const QWidget* pWidget : pRoot->findChildren<QWidget*>()) {
        const QString text = pWidget->property("text").toString();
        if ((qobject_cast<const QLabel*>(pWidget) || qobject_cast<const QAbstractButton*>(pWidget))
            && !text.isEmpty() && !pWidget->objectName().startsWith(QLatin1String("radioButton_filletSize")))
            texts.insert(pWidget->objectName(), text);
    }
    return texts;
}

QStringList SwitchItems(const QWidget* pRoot)
{
    const auto* pSwitch = pRoot->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
    QStringList items;
    for (int i = 0; i < pSwitch->count(); ++i)
        items << pSwitch->itemText(i);
    return items;
}

// Also a rectangle of no height or width: a line, or a point.
QPainterPath Outline(const QRectF& rect)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(rect));
    return path;
}

} // namespace

class TestDialog : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyTextComesFromTheTranslator();
    void languageChangeRetextsInPlace_data();
    void languageChangeRetextsInPlace();

    void burstDrawsOnlyTheLatestAndEmptyKeepsIt();
    void fitsOutline_data();
    void fitsOutline();
    void boxPreviewShowsBothListsButReturnsTheMain();
    void everyTableRowHasItsWidget_data();
    void everyTableRowHasItsWidget();

private:
    void Language(const QString& code);
    void Build(int nPage); // as a switch to that generator does
    // Waits for the preview's own tick: the queued copy is gone and only the result list is left.
    void Tick() { QVERIFY(QTest::qWaitFor([this] { return CShapeList::LiveCount() == m_nListsBefore + 1; })); }
    QList<QGraphicsItem*> Items() const;
    QRectF Drawn() const; // the one drawn outline's bounds, or nothing
    QGraphicsView* View() const { return m_dlg->findChild<QGraphicsView*>(QStringLiteral("graphicsView_preview")); }

    long m_nListsBefore = 0;
};

void TestDialog::init()
{
    SetUp();
    m_engine.bScripted = true;
    m_engine.main = Outline(QRectF(0, 0, 100, 50));
    m_nListsBefore = CShapeList::LiveCount();
}

void TestDialog::cleanup()
{
    Language(QStringLiteral("en"));
    TearDown();
}

void TestDialog::Language(const QString& code)
{
    QVERIFY(CTranslator::GetInstance()->SetLanguage(code));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

void TestDialog::Build(int nPage)
{
    auto* pSwitch = m_dlg->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
    if (pSwitch->currentIndex() == nPage)
        pSwitch->setCurrentIndex((nPage + 1) % 4);
    pSwitch->setCurrentIndex(nPage);
}

QList<QGraphicsItem*> TestDialog::Items() const
{
    return View()->scene()->items();
}

QRectF TestDialog::Drawn() const
{
    const QList<QGraphicsItem*> items = Items();
    auto* pItem = items.size() == 1 ? qgraphicsitem_cast<QGraphicsPathItem*>(items.first()) : nullptr;
    return pItem ? pItem->path().boundingRect() : QRectF();
}

void TestDialog::everyTextComesFromTheTranslator()
{
    // Every key worded with a mark: a text that bypasses the translator stays unmarked.
    const QJsonObject english = Catalogue(QStringLiteral("en"));
    QJsonObject marked;
    for (const QString& key : english.keys())
        marked.insert(key, QStringLiteral("«%1»").arg(key));
    QVERIFY(m_config->loadWordings(marked));

    QVERIFY(Open());
    QCOMPARE(m_dlg->pos(), QPoint(300, 120)); // 1320 x 800, centred on 1920 x 1040
    const QMap<QString, QString> texts = Texts(m_dlg.get());
    QVERIFY(texts.size() > 60);
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        QVERIFY2(english.contains(it.value().mid(1).chopped(1)), qPrintable(it.key() + ": " + it.value()));
    QCOMPARE(m_dlg->windowTitle(), QStringLiteral("«Create»"));
    QCOMPARE(SwitchItems(m_dlg.get()),
             (QStringList{"«Right angle box»", "«Rounded box»", "«Modular gear»", "«Badge/seal»"}));
    // No two rows of one column of fields share a wording.
    QMultiMap<const QObject*, QString> columns;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        columns.insert(Widget(it.key())->parent()->parent(), it.value());
    for (const QObject* pColumn : columns.uniqueKeys()) {
        const QStringList words = columns.values(pColumn);
        QVERIFY2(QSet<QString>(words.begin(), words.end()).size() == words.size(), qPrintable(words.join(", ")));
    }
}

void TestDialog::languageChangeRetextsInPlace_data()
{
    QTest::addColumn<int>("page");
    for (int page = 0; page < 4; ++page)
        QTest::addRow("%s", kPages[page]) << page;
}

void TestDialog::languageChangeRetextsInPlace()
{
    QFETCH(int, page);
    QVERIFY(Open(page));
    Settle();
    for (const QString code : {"de", "zh", "en"}) {
        Language(code);
        const QJsonObject catalogue = Catalogue(code);
        QCOMPARE(catalogue.keys(), Catalogue(QStringLiteral("en")).keys());
        QStringList wordings;
        for (const QString& key : catalogue.keys()) {
            wordings << catalogue.value(key).toString();
            for (const QString mark : {"%1", "%2", "%3"}) // placeholders survive wording
                QCOMPARE(wordings.last().contains(mark), key.contains(mark));
            QVERIFY(!key.startsWith(QLatin1String("FLAG_")) || wordings.last().toUtf8().size() <= 63);
        }
        for (const QString& text : Texts(m_dlg.get()))
            QVERIFY2(wordings.contains(text), qPrintable(code + ": " + text));
        QCOMPARE(m_dlg->windowTitle(), catalogue.value(QStringLiteral("Create")).toString());
        for (const QString& item : SwitchItems(m_dlg.get()))
            QVERIFY2(wordings.contains(item), qPrintable(item));
        // Same page shown, nothing built, no switch.
        QCOMPARE(m_dlg->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"))->currentIndex(), page);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(Widget(QLatin1String(kPages[i]))->isVisible(), i == page);
        QVERIFY(m_engine.builds.isEmpty());
        QCOMPARE(m_config->log(), QStringList());
    }
}

void TestDialog::burstDrawsOnlyTheLatestAndEmptyKeepsIt()
{
    QVERIFY(Open(2));
    Tick();
    const long settled = CShape::LiveCount();
    for (const QRectF& rect : {QRectF(0, 0, 10, 10), QRectF(0, 0, 20, 10), QRectF(0, 0, 10, 40)}) {
        m_engine.main = Outline(rect);
        Build(2);
    }
    QCOMPARE(CShape::LiveCount(), settled + 1); // the result and one queued copy
    Tick();
    QCOMPARE(qRound(Drawn().height() / Drawn().width()), 4);
    QCOMPARE(CShape::LiveCount(), settled); // the drawn copy is gone too
    QGraphicsItem* pDrawn = Items().value(0);
    m_engine.main = QPainterPath(); // a build of nothing keeps the drawing
    Build(2);
    Tick();
    QCOMPARE(Items(), QList<QGraphicsItem*>{pDrawn});
}

void TestDialog::fitsOutline_data()
{
    QTest::addColumn<QRectF>("outline");
    QTest::addColumn<QSizeF>("drawn"); // in a 400 x 400 view, centred
    QTest::newRow("wide: the width decides") << QRectF(0, 0, 100, 50) << QSizeF(340, 170);
    QTest::newRow("tall: the height decides") << QRectF(-7, 3, 50, 100) << QSizeF(170, 340);
    QTest::newRow("tiny") << QRectF(0, 0, 0.5, 0.25) << QSizeF(340, 170);
    QTest::newRow("a line") << QRectF(0, 0, 80, 0) << QSizeF(340, 0);
    QTest::newRow("a point") << QRectF(5, 5, 0, 0) << QSizeF(0, 0);
}

void TestDialog::fitsOutline()
{
    QFETCH(QRectF, outline);
    QFETCH(QSizeF, drawn);
    m_engine.main = Outline(outline);
    QVERIFY(Open(2));
    View()->setFixedSize(400, 400);
    Build(2);
    Tick();
    // A resized view shows the outline fitted to it, no build needed; the smaller factor of the two sides wins.
    for (const QSize view : {QSize(400, 400), QSize(200, 200), QSize(400, 200), QSize(200, 500)}) {
        View()->setFixedSize(view);
        const QRectF rect = Drawn();
        const double fx = outline.width() > 0 ? view.width() / outline.width() : qInf();
        const double fy = outline.height() > 0 ? view.height() / outline.height() : qInf();
        const QSizeF fitted = outline.size() * (std::isfinite(std::min(fx, fy)) ? 0.85 * std::min(fx, fy) : 0.0);
        const QSizeF at400 = fitted * 400 / view.width() - drawn;
        QVERIFY(view.width() != view.height() || (std::abs(at400.width()) < 1e-6 && std::abs(at400.height()) < 1e-6));
        QVERIFY(std::isfinite(rect.x()) && std::isfinite(rect.width()));
        QVERIFY2(qAbs(rect.width() - fitted.width()) < 1e-6 && qAbs(rect.height() - fitted.height()) < 1e-6,
                 qPrintable(QStringLiteral("%1 x %2 in %3 x %4").arg(rect.width()).arg(rect.height()).arg(view.width()).arg(view.height())));
        if (!drawn.isNull()) // centred on the view's centre pixel
            QCOMPARE(rect.center(), QPointF(view.width() / 2 - 1, view.height() / 2 - 1));
    }
}

void TestDialog::boxPreviewShowsBothListsButReturnsTheMain()
{
    m_engine.aux = Outline(QRectF(100, 0, 100, 50));
    QVERIFY(Open());
    View()->setFixedSize(400, 400);
    for (int page : {1, 0}) {
        Build(page);
        Tick();
        QCOMPARE(Drawn().size(), QSizeF(340, 85));
        QCOMPARE(m_dlg->GetResultList()->GetCount(), 1u);
        QCOMPARE(m_dlg->GetResultList()->GetShape(0)->GetPath(false)->boundingRect(), QRectF(0, 0, 100, 50));
    }
}

namespace {
// A table's rows as the test reads them: --set name, key, kind, widget.
struct Field
{
    QString set, key, widget;
    ParameterTable::Kind kind;
};
template <typename R, size_t N>
QVector<Field> Fields(const ParameterTable::Row<R> (&rows)[N])
{
    QVector<Field> fields;
    for (const auto& row : rows)
        fields << Field{QString::fromLatin1(row.pszSet), QString::fromLatin1(row.pszKey), QString::fromLatin1(row.pszWidget), row.kind};
    return fields;
}
} // namespace
Q_DECLARE_METATYPE(QVector<Field>)

void TestDialog::everyTableRowHasItsWidget_data()
{
    QTest::addColumn<QVector<Field>>("fields");
    QTest::newRow("right-angle box") << Fields(ParameterTable::kRectBox);
    QTest::newRow("rounded box") << Fields(ParameterTable::kFilletBox);
    QTest::newRow("gear pair") << Fields(ParameterTable::kGearBox);
    QTest::newRow("badge") << Fields(ParameterTable::kSealHead) + Fields(ParameterTable::kSealLines);
}

// Each row's widget is in the form as the kind it says, and no --set name,
// key or widget is written down twice: a field is one row.
void TestDialog::everyTableRowHasItsWidget()
{
    using K = ParameterTable::Kind;
    QFETCH(QVector<Field>, fields);
    QVERIFY(Open());
    QSet<QString> sets, keys, widgets;
    for (const Field& f : fields) {
        QVERIFY2(!keys.contains(f.key), qPrintable(f.key));
        keys << f.key;
        if (f.set.isEmpty())
            continue;
        QVERIFY2(!sets.contains(f.set) && !f.widget.isEmpty(), qPrintable(f.set));
        sets << f.set;
        const QStringList named = f.widget.split(',');
        for (const QString& one : named) {
            const QString name = f.kind == K::Choice ? one.section('=', 1) : one;
            QVERIFY2(!widgets.contains(name), qPrintable(name));
            widgets << name;
            QWidget* pWidget = m_dlg->findChild<QWidget*>(name);
            const bool right = f.kind == K::Choice ? qobject_cast<QRadioButton*>(pWidget) && !one.section('=', 0, 0).isEmpty()
                               : f.kind == K::Flag ? qobject_cast<QCheckBox*>(pWidget) != nullptr
                               : f.kind == K::Text ? qobject_cast<QLineEdit*>(pWidget) != nullptr
                               : f.kind == K::Font ? qobject_cast<QFontComboBox*>(pWidget) != nullptr
                                                   : qobject_cast<QDoubleSpinBox*>(pWidget) || qobject_cast<QSpinBox*>(pWidget)
                                                         || qobject_cast<QLineEdit*>(pWidget);
            QVERIFY2(right, qPrintable(f.set + ": " + name));
        }
        QCOMPARE(named.size() > 1, f.kind == K::Choice);
    }
}

// The offscreen platform takes its screen from a file written before the application starts.
int main(int argc, char* argv[])
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("screen.json")));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [{"name": "main", "x": 0, "y": 0, "width": 1920, "height": 1040,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + file.fileName().toUtf8());
    QApplication app(argc, argv);
    TestDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialog.moc"
