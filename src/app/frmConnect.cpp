#include "app/frmConnect.h"

#include "serverlist/DefaultPort.h"
#include "serverlist/ServerListFolders.h"
#include "serverlist/ServerListStore.h"
#include "console/FirstFrameTrigger.h"
#include "app/AboutText.h"
#include "app/BannerPicture.h"
#include "app/CommandLine.h"
#include "app/ConnectDialogStyle.h"
#include "app/HotSpot.h"
#include "app/QtMessageBoxes.h"
#include "app/SecureRconMenu.h"
#include "app/VersionLabel.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <optional>

namespace brimhold::app {

namespace {

using ServerListSetUp = serverlist::ServerListStore::SetUp;

const char* const kTitle = "Brimhold - Remote Console";
const char* const kMessageTitle = "rcon";
constexpr int kClientWidth = 319;
constexpr int kClientHeight = 384;
constexpr double kDialogFontPoints = 7.5;

}  // namespace

frmConnect::frmConnect(ConnectOptions options, QWidget* parent)
    : QDialog(parent), m_options(std::move(options)) {
    if (m_options.messageBoxes) {
        m_messageBoxes = m_options.messageBoxes;
    } else {
        m_ownMessageBoxes = std::make_unique<QtMessageBoxes>();
        m_messageBoxes = m_ownMessageBoxes.get();
    }
    if (const QScreen* display = screen()) {
        m_scale = display->logicalDotsPerInch() / 96.0;
    }
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setFixedSize(px(kClientWidth), px(kClientHeight));
    // The layout's sizes were made for a compact 8-point dialog font; larger desktop defaults clip the
    // captions.
    QFont dialogFont = font();
    dialogFont.setPointSizeF(kDialogFontPoints);
    setFont(dialogFont);

    m_style = new ConnectDialogStyle;
    m_style->setParent(this);
    buildBanner();
    buildConnectFrame();
    buildServersFrame();
    buildNotice();
    setTabOrder();
    txtHost->setFocus();
}

frmConnect::~frmConnect() = default;

int frmConnect::px(int pixelsAt96Dpi) const {
    return qRound(pixelsAt96Dpi * m_scale);
}

void frmConnect::place(QWidget* widget, int left, int top, int width, int height) const {
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

QPushButton* frmConnect::makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter presses the button that has the focus; elsewhere it presses the default button "Connect".
    button->setAutoDefault(true);
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
    Frame2->setStyle(m_style);
    place(Frame2, 16, 96, 289, 113);

    Label1 = makeLabel(Frame2, QStringLiteral("Label1"), QStringLiteral("Host IP:"));
    place(Label1, 8, 24, 49, 17);
    txtHost = makeTextBox(Frame2, QStringLiteral("txtHost"));
    place(txtHost, 72, 24, 121, 19);
    Label2 = makeLabel(Frame2, QStringLiteral("Label2"), QStringLiteral("Port:"));
    place(Label2, 200, 24, 41, 17);
    txtPort = makeTextBox(Frame2, QStringLiteral("txtPort"));
    txtPort->setText(QString::fromLatin1(serverlist::kDefaultPort));
    place(txtPort, 232, 24, 41, 19);
    Label3 = makeLabel(Frame2, QStringLiteral("Label3"), QStringLiteral("Password:"));
    place(Label3, 8, 48, 49, 17);
    txtPassword = makeTextBox(Frame2, QStringLiteral("txtPassword"));
    txtPassword->setStyle(m_style);
    txtPassword->setEchoMode(QLineEdit::Password);
    place(txtPassword, 72, 48, 121, 19);

    cmdReset = makeButton(Frame2, QStringLiteral("cmdReset"), QStringLiteral("Reset"));
    place(cmdReset, 104, 80, 81, 25);
    cmdConnect = makeButton(Frame2, QStringLiteral("cmdConnect"), QStringLiteral("Connect"));
    cmdConnect->setDefault(true);
    place(cmdConnect, 192, 80, 81, 25);
    connect(cmdConnect, &QPushButton::clicked, this, &frmConnect::cmdConnect_Click);
    // "Reset" has no action: it only takes the focus like any button.
    connect(imgQorRcon, &HotSpot::clicked, this, &frmConnect::imgQorRcon_Click);
}

void frmConnect::buildServersFrame() {
    Frame1 = new QGroupBox(QStringLiteral("Servers"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setStyle(m_style);
    place(Frame1, 16, 216, 289, 153);

    txtServerNaam = makeTextBox(Frame1, QStringLiteral("txtServerNaam"));
    place(txtServerNaam, 8, 24, 177, 19);
    cmdSave = makeButton(Frame1, QStringLiteral("cmdSave"), QStringLiteral("Save"));
    place(cmdSave, 192, 24, 81, 25);
    lstServers = new QListWidget(Frame1);
    lstServers->setObjectName(QStringLiteral("lstServers"));
    lstServers->setSelectionMode(QAbstractItemView::SingleSelection);
    lstServers->setSortingEnabled(false);
    // A long list is laid out in batches between turns of the event loop: the first frame shows the top
    // rows without measuring all of them first.
    lstServers->setLayoutMode(QListView::Batched);
    place(lstServers, 8, 48, 177, 95);
    cmdLoad = makeButton(Frame1, QStringLiteral("cmdLoad"), QStringLiteral("Load"));
    place(cmdLoad, 192, 56, 81, 25);
    cmdRemove = makeButton(Frame1, QStringLiteral("cmdRemove"), QStringLiteral("Remove"));
    place(cmdRemove, 192, 88, 81, 25);

    connect(cmdSave, &QPushButton::clicked, this, &frmConnect::cmdSave_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &frmConnect::cmdLoad_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmConnect::cmdRemove_Click);
    connect(lstServers, &QListWidget::itemSelectionChanged, this, &frmConnect::lstServers_Click);
    connect(lstServers, &QListWidget::itemDoubleClicked, this, &frmConnect::lstServers_DblClick);

    m_serverMenu = new SecureRconMenu(m_options.authModeFile, this);
    connect(m_serverMenu, &SecureRconMenu::notKept, this,
            [this](const QString& reason) { showNotice(QStringLiteral("Niet bewaard: ") + reason); });
    lstServers->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstServers, &QListWidget::customContextMenuRequested, this, &frmConnect::lstServers_ContextMenu);
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
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    Picture1->setFocusPolicy(Qt::NoFocus);
    imgQorRcon->setFocusPolicy(Qt::NoFocus);
}

void frmConnect::showNotice(const QString& text) {
    lblNotice->setText(text);
    lblNotice->setToolTip(text);
}

void frmConnect::clearNotice() {
    showNotice(QString());
}

frmConnect::LoadOutcome frmConnect::Form_Load(const QString& argumentText, ServerListTiming timing) {
    lblVersion->setText(VersionLabel::fromVersionString(QCoreApplication::applicationVersion()));

    const CommandLine commandLine = CommandLine::parse(argumentText);
    if (timing == ServerListTiming::AfterFirstFrame &&
        commandLine.request() != CommandLine::Request::Connect) {
        // A child of the dialog, gone with it.
        new console::FirstFrameTrigger(this, [this, commandLine] { finishLoadAfterFirstFrame(commandLine); });
        return LoadOutcome::ShowDialog;
    }
    const ServerListSetUp setUp = setUpServerList();
    tellAbout(setUp);
    if (setUp == ServerListSetUp::NotInOrder) {
        return LoadOutcome::EndProgram;
    }
    return takeCommandLine(commandLine);
}

void frmConnect::finishLoadAfterFirstFrame(const CommandLine& commandLine) {
    const ServerListSetUp setUp = setUpServerList();
    if (setUp == ServerListSetUp::NotInOrder) {
        // The message stands alone, as it does when the list is set up before the dialog is shown, and
        // input that is still on its way reaches nothing.
        hide();
        setEnabled(false);
    } else {
        takeCommandLine(commandLine);
    }
    if (setUp == ServerListSetUp::Ready) {
        return;
    }
    // Told from the event loop: this may run inside the delivery of the user's first input.
    QMetaObject::invokeMethod(
        this,
        [this, setUp] {
            tellAbout(setUp);
            if (setUp == ServerListSetUp::NotInOrder) {
                emit serverListNotInOrder();
            }
        },
        Qt::QueuedConnection);
}

frmConnect::LoadOutcome frmConnect::takeCommandLine(const CommandLine& commandLine) {
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
    return LoadOutcome::ConnectRequested;
}

void frmConnect::cmdConnect_Click() {
    if (m_connecting) {
        return;
    }
    m_connecting = true;
    // The receiver's start-up keeps the event loop running; nothing in the dialog may start a second
    // connection meanwhile.
    setEnabled(false);
    emit connectRequested(txtHost->text(), txtPort->text(), txtPassword->text());
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

serverlist::ServerListStore::SetUp frmConnect::setUpServerList() {
    serverlist::ServerListFolders folders = serverlist::ServerListFolders::ofThisProgram();
    if (!m_options.programDirectory.isEmpty()) {
        folders.programDirectory = m_options.programDirectory;
    }
    if (!m_options.userDataDirectory.isEmpty()) {
        folders.userDataDirectory = m_options.userDataDirectory;
    }
    auto servers =
        std::make_unique<serverlist::ServerListStore>(folders.programDirectory, folders.userDataDirectory);
    const ServerListSetUp setUp = servers->setUp();
    switch (setUp) {
        case ServerListSetUp::NotInOrder:
            break;
        case ServerListSetUp::Unavailable:
            m_servers = std::move(servers);
            Frame1->setEnabled(false);
            showNotice(QStringLiteral("Zonder serverlijst: verbinden kan wel."));
            break;
        case ServerListSetUp::Ready:
            m_servers = std::move(servers);
            lstServers->clear();
            lstServers->addItems(m_servers->takeNamesReadAtSetUp());
            break;
    }
    return setUp;
}

void frmConnect::tellAbout(ServerListSetUp setUp) {
    switch (setUp) {
        case ServerListSetUp::Ready:
            return;
        case ServerListSetUp::Unavailable:
            m_messageBoxes->warning(nullptr, QString::fromLatin1(kMessageTitle), m_servers->problem());
            return;
        case ServerListSetUp::NotInOrder:
            m_messageBoxes->critical(nullptr, QString::fromLatin1(kMessageTitle),
                                     QStringLiteral("Serverdatabase is niet in orde"));
            return;
    }
}

int frmConnect::selectedNr() const {
    const QModelIndexList selected = lstServers->selectionModel()->selectedRows();
    return selected.isEmpty() ? 0 : selected.first().row() + 1;
}

void frmConnect::RefreshServerList() {
    lstServers->clear();
    if (!m_servers || !m_servers->isReady()) {
        return;
    }
    const std::optional<QStringList> names = m_servers->names();
    if (!names) {
        showNotice(QStringLiteral("Serverlijst niet gelezen: ") + m_servers->problem());
        return;
    }
    lstServers->addItems(*names);
}

void frmConnect::cmdLoad_Click() {
    const int nr = selectedNr();
    if (nr == 0 || !m_servers) {
        return;
    }
    const std::optional<serverlist::ServerListStore::Entry> entry = m_servers->entry(nr);
    if (!entry) {
        showNotice(QStringLiteral("Niet geladen: ") + m_servers->problem());
        return;
    }
    txtServerNaam->setText(entry->name);
    txtHost->setText(entry->host);
    txtPort->setText(entry->port);
    txtPassword->setText(entry->password);
    clearNotice();
}

void frmConnect::lstServers_Click() {
    cmdLoad_Click();
}

void frmConnect::lstServers_DblClick() {
    cmdLoad_Click();
    cmdConnect_Click();
}

void frmConnect::lstServers_ContextMenu(const QPoint& position) {
    const QListWidgetItem* item = lstServers->itemAt(position);
    if (!item || !m_servers) {
        return;
    }
    const std::optional<serverlist::ServerListStore::Entry> entry =
        m_servers->entry(lstServers->row(item) + 1);
    if (!entry) {
        showNotice(QStringLiteral("Niet geladen: ") + m_servers->problem());
        return;
    }
    m_serverMenu->popUpFor(entry->host, entry->port, lstServers->viewport()->mapToGlobal(position));
}

void frmConnect::cmdSave_Click() {
    clearNotice();
    if (!m_servers) {
        return;
    }
    if (txtServerNaam->text().isEmpty()) {
        showNotice(QStringLiteral("Niet bewaard: geef de server eerst een naam."));
        return;
    }
    const bool added =
        m_servers->add({txtServerNaam->text(), txtHost->text(), txtPort->text(), txtPassword->text()});
    RefreshServerList();
    if (!added) {
        showNotice(QStringLiteral("Niet bewaard: ") + m_servers->problem());
    }
}

void frmConnect::cmdRemove_Click() {
    clearNotice();
    const int nr = selectedNr();
    if (nr == 0 || !m_servers) {
        return;
    }
    const bool removed = m_servers->remove(nr);
    RefreshServerList();
    if (!removed) {
        showNotice(QStringLiteral("Niet verwijderd: ") + m_servers->problem());
    }
}

void frmConnect::imgQorRcon_Click() {
    m_messageBoxes->information(this, QString::fromLatin1(AboutText::kTitle),
                                AboutText::build(lblVersion->text()));
}

}  // namespace brimhold::app
