#include "frmConnect.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "BannerPicture.h"
#include "CommandLine.h"
#include "HotSpot.h"
#include "PasswordCharStyle.h"
#include "VersionLabel.h"
#include "frmMain.h"

namespace {

const char* const kTitle = "Brimhold - Remote Console";
constexpr int kClientWidth = 319;
constexpr int kClientHeight = 384;
constexpr double kDialogFontPoints = 7.5;

}  // namespace

frmConnect::frmConnect(ConnectOptions options, QWidget* parent)
    : QDialog(parent), m_options(std::move(options)) {
    if (const QScreen* display = screen())
        m_scale = display->logicalDotsPerInch() / 96.0;
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setFixedSize(px(kClientWidth), px(kClientHeight));
    // The layout's sizes were made for a compact 8-point dialog font; larger desktop defaults clip the
    // captions.
    QFont dialogFont = font();
    dialogFont.setPointSizeF(kDialogFontPoints);
    setFont(dialogFont);

    buildBanner();
    buildConnectFrame();
    buildServersFrame();
    buildNotice();
    setTabOrder();
    txtHost->setFocus();
}

frmConnect::~frmConnect() {
    delete m_console.data();
}

frmMain* frmConnect::console() const {
    return m_console.data();
}

int frmConnect::px(int pixelsAt96Dpi) const {
    return qRound(pixelsAt96Dpi * m_scale);
}

void frmConnect::place(QWidget* widget, int left, int top, int width, int height) const {
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

QPushButton* frmConnect::makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Only "Connect" answers Enter, whichever control has the focus.
    button->setAutoDefault(false);
    return button;
}

QLineEdit* frmConnect::makeTextBox(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QLabel* frmConnect::makeLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

void frmConnect::buildBanner() {
    Picture1 = new BannerPicture(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    place(Picture1, 0, 0, BannerPicture::kDesignWidth, BannerPicture::kDesignHeight);

    lblVersion = makeLabel(Picture1, QStringLiteral("lblVersion"), QStringLiteral("#.## rev. ####"));
    QFont versionFont(QStringLiteral("Franklin Gothic Medium"));
    versionFont.setPointSizeF(6.75);
    versionFont.setWeight(QFont::Normal);
    lblVersion->setFont(versionFont);
    QPalette versionPalette = lblVersion->palette();
    versionPalette.setColor(QPalette::WindowText, BannerPicture::captionColor());
    lblVersion->setPalette(versionPalette);
    lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(lblVersion, 40, 68, 89, 17);

    imgQorRcon = new HotSpot(Picture1);
    imgQorRcon->setObjectName(QStringLiteral("imgQorRcon"));
    place(imgQorRcon, 152, 48, 169, 33);
}

void frmConnect::buildConnectFrame() {
    Frame2 = new QGroupBox(QStringLiteral("Connect"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    place(Frame2, 16, 96, 289, 113);

    Label1 = makeLabel(Frame2, QStringLiteral("Label1"), QStringLiteral("Host IP:"));
    place(Label1, 8, 24, 49, 17);
    txtHost = makeTextBox(Frame2, QStringLiteral("txtHost"));
    place(txtHost, 72, 24, 121, 19);
    Label2 = makeLabel(Frame2, QStringLiteral("Label2"), QStringLiteral("Port:"));
    place(Label2, 200, 24, 41, 17);
    txtPort = makeTextBox(Frame2, QStringLiteral("txtPort"));
    txtPort->setText(QString::fromLatin1(CommandLine::kDefaultPort));
    place(txtPort, 232, 24, 41, 19);
    Label3 = makeLabel(Frame2, QStringLiteral("Label3"), QStringLiteral("Password:"));
    place(Label3, 8, 48, 49, 17);
    txtPassword = makeTextBox(Frame2, QStringLiteral("txtPassword"));
    m_passwordStyle = new PasswordCharStyle;
    m_passwordStyle->setParent(this);
    txtPassword->setStyle(m_passwordStyle);
    txtPassword->setEchoMode(QLineEdit::Password);
    place(txtPassword, 72, 48, 121, 19);

    cmdReset = makeButton(Frame2, QStringLiteral("cmdReset"), QStringLiteral("Reset"));
    place(cmdReset, 104, 80, 81, 25);
    cmdConnect = makeButton(Frame2, QStringLiteral("cmdConnect"), QStringLiteral("Connect"));
    cmdConnect->setAutoDefault(true);
    cmdConnect->setDefault(true);
    place(cmdConnect, 192, 80, 81, 25);
    connect(cmdConnect, &QPushButton::clicked, this, &frmConnect::cmdConnect_Click);
    // "Reset" has no action: it only takes the focus like any button.
}

void frmConnect::buildServersFrame() {
    Frame1 = new QGroupBox(QStringLiteral("Servers"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 16, 216, 289, 153);

    txtServerNaam = makeTextBox(Frame1, QStringLiteral("txtServerNaam"));
    place(txtServerNaam, 8, 24, 177, 19);
    cmdSave = makeButton(Frame1, QStringLiteral("cmdSave"), QStringLiteral("Save"));
    place(cmdSave, 192, 24, 81, 25);
    lstServers = new QListWidget(Frame1);
    lstServers->setObjectName(QStringLiteral("lstServers"));
    lstServers->setSelectionMode(QAbstractItemView::SingleSelection);
    lstServers->setSortingEnabled(false);
    place(lstServers, 8, 48, 177, 95);
    cmdLoad = makeButton(Frame1, QStringLiteral("cmdLoad"), QStringLiteral("Load"));
    place(cmdLoad, 192, 56, 81, 25);
    cmdRemove = makeButton(Frame1, QStringLiteral("cmdRemove"), QStringLiteral("Remove"));
    place(cmdRemove, 192, 88, 81, 25);
}

void frmConnect::buildNotice() {
    // The strip below the "Servers" frame is free in the layout.
    lblNotice = makeLabel(this, QStringLiteral("lblNotice"), QString());
    QFont noticeFont = lblNotice->font();
    noticeFont.setPointSizeF(noticeFont.pointSizeF() * 0.85);
    lblNotice->setFont(noticeFont);
    lblNotice->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    place(lblNotice, 18, 369, 287, 15);
}

void frmConnect::setTabOrder() {
    const QList<QWidget*> order{txtHost,       txtPort, txtPassword, cmdConnect, cmdReset,
                                txtServerNaam, cmdSave, lstServers,  cmdLoad,    cmdRemove};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    Picture1->setFocusPolicy(Qt::NoFocus);
    imgQorRcon->setFocusPolicy(Qt::NoFocus);
}

void frmConnect::showNotice(const QString& text) {
    lblNotice->setText(text);
    lblNotice->setToolTip(text);
}

frmConnect::LoadOutcome frmConnect::Form_Load(const QString& argumentText) {
    lblVersion->setText(VersionLabel::fromVersionString(QCoreApplication::applicationVersion()));

    const CommandLine commandLine = CommandLine::parse(argumentText);
    switch (commandLine.request()) {
        case CommandLine::Request::None:
            return LoadOutcome::ShowDialog;
        case CommandLine::Request::Unusable:
            showNotice(tr("Command line ignored: use host [port] password"));
            return LoadOutcome::ShowDialog;
        case CommandLine::Request::Connect:
            break;
    }
    txtHost->setText(commandLine.host());
    txtPort->setText(commandLine.port());
    txtPassword->setText(commandLine.password());
    cmdConnect_Click();
    return LoadOutcome::ConsoleOpened;
}

void frmConnect::cmdConnect_Click() {
    if (m_connecting)
        return;
    m_connecting = true;
    // The console's start-up keeps the event loop running; nothing in the dialog may start a second
    // connection meanwhile.
    setEnabled(false);

    m_console = new frmMain(m_options.console);
    m_console->rconIP = txtHost->text();
    m_console->rconPort = txtPort->text();
    m_console->rconPassword = txtPassword->text();
    m_console->showAndStartUp();
    close();
}

void frmConnect::keyPressEvent(QKeyEvent* event) {
    // The dialog has no cancel button, so Escape closes nothing; the close box still does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmConnect::showEvent(QShowEvent* event) {
    if (!m_centred) {
        m_centred = true;
        if (const QScreen* display = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(display->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
}
