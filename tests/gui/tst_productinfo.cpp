// The Product Information dialog with a temporary Program.ini and settings store.
#include <QPushButton>
#include <QTranslator>
#include <QUndoStack>
#include <QtTest>

#include "gui/radio/ProductInfoDlg.h"
#include "tests/gui/tst_editor_util.h"

namespace {

class TestDlg : public CProductInfoDlg {
public:
    using CProductInfoDlg::CProductInfoDlg;
    QList<int> m_help;

protected:
    void OnHelp(int context) override { m_help << context; }
};

QPushButton* Button(QDialog* dlg, int id)
{
    for (QPushButton* b : dlg->findChildren<QPushButton*>())
        if (ControlId(b) == id)
            return b;
    return nullptr;
}

// Runs the dialog with `user` acting on it while it is on screen.
int RunDialog(CProductInfoDlg& dlg, const std::function<void(CProductInfoDlg&)>& user)
{
    SetDialogHook([&](QDialog* d) {
        d->show();
        (void)QTest::qWaitForWindowExposed(d);
        user(dlg);
        return d->result();
    });
    const int r = dlg.DoModal();
    SetDialogHook({});
    return r;
}

}  // namespace

class TestProductInfo : public QObject {
    Q_OBJECT
private slots:
    void opensOnRememberedChoice();
    void okStoresChoice();
    void cancelChangesNothing();
    void rememberedTypeBeyondList();
    void helpContexts();
    void withoutDocument();
    void chinese();
};

void TestProductInfo::opensOnRememberedChoice()
{
    EditorEnv env;
    env.m_store.WriteDword("EditorTestApp", "Type", 1);
    env.m_store.WriteDword("EditorTestApp", "Field", 2);
    TestDlg dlg(nullptr);
    QStringList types, bands;
    int type = -2, band = -2;
    RunDialog(dlg, [&](CProductInfoDlg& d) {
        for (int i = 0; i < d.m_cbType->count(); ++i)
            types << d.m_cbType->itemText(i);
        for (int i = 0; i < d.m_cbFrequency->count(); ++i)
            bands << d.m_cbFrequency->itemText(i);
        type = d.m_cbType->currentIndex();
        band = d.m_cbFrequency->currentIndex();
        d.reject();
    });
    // Type3 is missing, so Type4 is never reached.
    QCOMPARE(types, QStringList({"TR-5V", "TR-5U"}));
    QCOMPARE(bands, QStringList({"400-470MHz", "430-440MHz", "450-520MHz"}));
    QCOMPARE(type, 1);
    QCOMPARE(band, 2);
    QCOMPARE(dlg.windowTitle(), QString("Product Information"));
}

void TestProductInfo::okStoresChoice()
{
    EditorEnv env;
    env.m_store.WriteDword("EditorTestApp", "Type", 1);
    CProgramDoc doc;
    doc.OnNewDocument();
    doc.ResetHistory();
    const Image before = doc.GetImage();
    TestDlg dlg(nullptr);
    dlg.SetDocument(&doc);
    const int r = RunDialog(dlg, [&](CProductInfoDlg& d) {
        d.m_cbType->setFocus();
        QTest::keyClick(d.m_cbType, Qt::Key_Up);  // a user's change of type refills the bands
        QCOMPARE(d.m_cbFrequency->count(), 2);
        QCOMPARE(d.m_cbFrequency->currentIndex(), 0);
        QTest::keyClick(d.m_cbFrequency, Qt::Key_Down);
        QTest::mouseClick(Button(&d, 1), Qt::LeftButton);
    });
    QCOMPARE(r, int(QDialog::Accepted));
    QCOMPARE(doc.GetImage()[mem::kRadioType], std::uint8_t(0));
    QCOMPARE(doc.GetImage()[mem::kBandIndex], std::uint8_t(1));
    // 144-148MHz: 0x14, 0x14, 0x47
    QCOMPARE(doc.GetImage()[mem::kSelectedBand], std::uint8_t(0x14));
    QCOMPARE(doc.GetImage()[mem::kSelectedBand + 1], std::uint8_t(0x14));
    QCOMPARE(doc.GetImage()[mem::kSelectedBand + 2], std::uint8_t(0x47));
    for (std::size_t i = 0; i < before.size(); ++i)
        if (i != std::size_t(mem::kRadioType) && i != std::size_t(mem::kBandIndex) &&
            (i < std::size_t(mem::kSelectedBand) || i > std::size_t(mem::kSelectedBand + 2)))
            QCOMPARE(doc.GetImage()[i], before[i]);
    QCOMPARE(QString::fromStdString(g_strTitle), QString("TR-5 Programming Tool  [ Type:TR-5V  Fre:144-148MHz ]"));
    QCOMPARE(*env.m_store.ReadDword("EditorTestApp", "Type"), 0u);
    QCOMPARE(*env.m_store.ReadDword("EditorTestApp", "Field"), 1u);
    // Opened again, it starts from the stored choice.
    int type = -2, band = -2;
    RunDialog(dlg, [&](CProductInfoDlg& d) {
        type = d.m_cbType->currentIndex();
        band = d.m_cbFrequency->currentIndex();
        d.reject();
    });
    QCOMPARE(type, 0);
    QCOMPARE(band, 1);
    // OK is one undo step of the document.
    QVERIFY(doc.IsModified());
    doc.UndoStack()->undo();
    QVERIFY(doc.GetImage() == before);
}

void TestProductInfo::cancelChangesNothing()
{
    EditorEnv env;
    CProgramDoc doc;
    doc.OnNewDocument();
    const Image before = doc.GetImage();
    g_strTitle = "unchanged";
    TestDlg dlg(nullptr);
    dlg.SetDocument(&doc);
    const int r = RunDialog(dlg, [&](CProductInfoDlg& d) {
        QTest::keyClick(d.m_cbType, Qt::Key_Down);
        QTest::mouseClick(Button(&d, 2), Qt::LeftButton);
    });
    QCOMPARE(r, int(QDialog::Rejected));
    QVERIFY(doc.GetImage() == before);
    QCOMPARE(g_strTitle, std::string("unchanged"));
    QVERIFY(env.m_store.m_values.empty());
}

void TestProductInfo::rememberedTypeBeyondList()
{
    EditorEnv env;
    env.m_store.WriteDword("EditorTestApp", "Type", 5);
    CProgramDoc doc;
    doc.OnNewDocument();
    TestDlg dlg(nullptr);
    dlg.SetDocument(&doc);
    RunDialog(dlg, [&](CProductInfoDlg& d) {
        QCOMPARE(d.m_cbType->currentIndex(), -1);
        // Field0 is absent: one empty item.
        QCOMPARE(d.m_cbFrequency->count(), 1);
        QCOMPARE(d.m_cbFrequency->itemText(0), QString());
        d.OnOK();
    });
    // The unreadable band gives L = U = 0: record 0x00, 0x00, 0xFF.
    QCOMPARE(doc.GetImage()[mem::kSelectedBand], std::uint8_t(0x00));
    QCOMPARE(doc.GetImage()[mem::kSelectedBand + 1], std::uint8_t(0x00));
    QCOMPARE(doc.GetImage()[mem::kSelectedBand + 2], std::uint8_t(0xFF));
    QCOMPARE(doc.GetImage()[mem::kRadioType], std::uint8_t(0xFF));
    QCOMPARE(QString::fromStdString(g_strTitle), QString("TR-5 Programming Tool  [ Type:  Fre: ]"));
}

void TestProductInfo::helpContexts()
{
    EditorEnv env;
    TestDlg dlg(nullptr);
    RunDialog(dlg, [&](CProductInfoDlg& d) {
        d.activateWindow();
        d.m_cbType->setFocus();
        QTest::keyClick(d.m_cbType, Qt::Key_F1);
        d.m_cbFrequency->setFocus();
        QTest::keyClick(d.m_cbFrequency, Qt::Key_F1);
        QTest::keyClick(Button(&d, 1), Qt::Key_F1);
        d.reject();
    });
    QCOMPARE(dlg.m_help, QList<int>({IDC_COMBO_TYPE, IDC_COMBO_FREQUENCY, 1}));
}

void TestProductInfo::withoutDocument()
{
    EditorEnv env;
    TestDlg dlg(nullptr);  // no main frame, no document: OK must not touch any image
    QVERIFY(!dlg.TargetDocument());
    const int r = RunDialog(dlg, [&](CProductInfoDlg& d) { d.OnOK(); });
    QCOMPARE(r, int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(g_strTitle), QString("TR-5 Programming Tool  [ Type:TR-5V  Fre:136-174MHz ]"));
    QCOMPARE(*env.m_store.ReadDword("EditorTestApp", "Type"), 0u);
}

void TestProductInfo::chinese()
{
    EditorEnv env(true);
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(PROG_BIN_DIR "/Chinese.qm")));
    QCoreApplication::installTranslator(&translator);
    TestDlg dlg(nullptr);
    RunDialog(dlg, [&](CProductInfoDlg& d) { d.OnOK(); });
    QCOMPARE(dlg.windowTitle(), QString("类型设置"));
    QCOMPARE(QString::fromStdString(g_strTitle), QString("TR-5 写频软件  [ Type:TR-5V  Fre:136-174MHz ]"));
    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(TestProductInfo)
#include "tst_productinfo.moc"
