// Draws a badge as the reference engine cuts it into a PNG, engraving filled
// even-odd as laser programs fill it, so that a reader can check the text:
//   kerfmate_seal_picture OUT.png [d1=MM] [d2=MM] [star=0|1] [seal=0|1]
//                         [textN=TEXT] [fontN=FAMILY] [heightN=MM] [offsetN=MM] [spaceN=MM]
#include "CShape.h"
#include "CShapeList.h"
#include "ReferenceEngine.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || !args[0].endsWith(QLatin1String(".png"))) {
        std::fprintf(stderr, "usage: kerfmate_seal_picture OUT.png [name=value]...\n");
        return 2;
    }
    SSealBoxParam seal;
    SSealTextParam* texts[] = {&seal.sText1, &seal.sText2, &seal.sText3};
    const auto copy = [](const QString& value, char* field, int size) {
        const QByteArray bytes = value.toUtf8();
        return bytes.size() < size && qstrncpy(field, bytes.constData(), size);
    };
    for (const QString& arg : args.mid(1)) {
        const QString name = arg.section(QLatin1Char('='), 0, 0), value = arg.section(QLatin1Char('='), 1);
        const int line = name.startsWith(QLatin1Char('d')) ? -1 : name.right(1).toInt() - 1;
        SSealTextParam* text = line >= 0 && line < 3 ? texts[line] : nullptr;
        const QString field = text ? name.chopped(1) : name;
        bool ok = true;
        if (field == QLatin1String("d1"))
            seal.D1 = value.toDouble(&ok);
        else if (field == QLatin1String("d2"))
            seal.D2 = value.toDouble(&ok);
        else if (field == QLatin1String("star"))
            seal.bStar = value == QLatin1String("1");
        else if (field == QLatin1String("seal"))
            seal.bTextReverse = value == QLatin1String("1");
        else if (text && field == QLatin1String("text"))
            ok = copy(value, text->Text, int(sizeof text->Text));
        else if (text && field == QLatin1String("font"))
            ok = copy(value, text->Facename, int(sizeof text->Facename));
        else if (text && field == QLatin1String("height"))
            text->dHeight = value.toDouble(&ok);
        else if (text && field == QLatin1String("offset"))
            text->dOffset = value.toDouble(&ok);
        else if (text && field == QLatin1String("space"))
            text->dSpace = value.toDouble(&ok);
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "not understood: %s\n", qPrintable(arg));
            return 2;
        }
    }

    CReferenceEngine engine;
    CShapeList* pMain = CShapeList::New();
    const bool built = engine.CreateSeal(seal, pMain);
    constexpr int kPixels = 800;
    QImage image(kPixels, kPixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = kPixels / (seal.D1 * 1.04);
    painter.translate(kPixels / 2.0, kPixels / 2.0);
    painter.scale(scale, scale);
    for (uint i = 0; i < pMain->GetCount(); ++i) {
        CShape* shape = pMain->GetShape(i);
        QPainterPath path = *shape->GetPath(false);
        const bool cut = shape->GetLayer() == CShape::LayerCut;
        path.setFillRule(Qt::OddEvenFill);
        painter.setPen(QPen(cut ? QColor(200, 40, 30) : QColor(30, 50, 120), 1.5 / scale));
        painter.setBrush(cut ? QColor(236, 200, 186) : QColor(30, 50, 120));
        // The inner circle is an engraved line, not an area.
        if (!cut && std::abs(path.boundingRect().width() - seal.D2) < 0.01 && path.boundingRect().center().isNull())
            painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    painter.end();
    pMain->DeleteAll();
    CShapeList::Release(pMain);
    if (!built || !image.save(args[0])) {
        std::fprintf(stderr, built ? "could not write %s\n" : "the engine refused the badge\n", qPrintable(args[0]));
        return 1;
    }
    return 0;
}
