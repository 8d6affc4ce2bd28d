// The main window's side of its on-demand windows: opening the document
// window and the map of the GIF, and the Edit, View, Draw and drawing-tool
// commands that act on the document window.
#include <QAction>
#include <QMdiSubWindow>

#include "app/CommandGuard.h"
#include "app/GifPreview.h"
#include "app/Giffer.h"
#include "app/Icons.h"
#include "app/MdiWindows.h"
#include "app/Project.h"
#include "app/client/GifClientForm.h"
#include "app/commands/FrameFileCommands.h"
#include "app/map/MapForm.h"
#include "app/scanner/Scanning.h"

namespace animora {

TGifClientForm* TGiffer::Client() const
{
    return windows_->Find<TGifClientForm>(WindowKind::Document);
}

TGifClientForm* TGiffer::OpenDocumentWindow()
{
    if (!project_.IsOpen() || project_.FrameCount() == 0)
        return nullptr;
    const bool opening = Client() == nullptr;
    auto* client = windows_->Show<TGifClientForm>(WindowKind::Document, [this] {
        auto* form = new TGifClientForm(project_);
        form->setWindowIcon(Icons::EditFrame());
        connect(form, &TGifClientForm::editStateChanged, this, &TGiffer::UpdateActions);
        return form;
    });
    if (opening) {
        client->SetOnionSkin(Action(ActionId::OnionSkin1)->isChecked());
        // A new window starts with the cursor tool.
        Action(ActionId::CursorlButton)->setChecked(true);
        client->SelectTool(ActionId::CursorlButton);
    }
    UpdateActions();
    return client;
}

TMapForm* TGiffer::OpenMap()
{
    if (!project_.IsOpen())
        return nullptr;
    return windows_->Show<TMapForm>(WindowKind::Map, [this] {
        auto* map = new TMapForm(project_);
        map->setWindowIcon(Icons::ImportWizard());
        map->scan = [this] { return Scan(); };
        return map;
    });
}

uint8_t TGiffer::Scan()
{
    return ScanToExchangeFile(project_.Ask(), this, project_.StartDirectory());
}

void TGiffer::OnClient(ActionId id, void (TGifClientForm::*command)())
{
    connect(Action(id), &QAction::triggered, this, [this, command] {
        if (TGifClientForm* client = Client())
            Run([&] { (client->*command)(); });
    });
}

void TGiffer::BindDocumentCommands()
{
    using A = ActionId;
    connect(Action(A::Edit1), &QAction::triggered, this, [this] { Run([this] { OpenDocumentWindow(); }); });
    connect(preview_, &TGifPreview::editRequested, Action(A::Edit1), &QAction::trigger);
    connect(Action(A::Save2), &QAction::triggered, this, [this] {
        // Only while the document window is the active one.
        if (windows_->IsActive(WindowKind::Document))
            Run([this] { Client()->SaveFrame(); });
    });
    // Inside the document window Undo and Redo take back its last stroke;
    // elsewhere they walk the project's history.
    connect(Action(A::Undo1), &QAction::triggered, this, [this] {
        Run([this] {
            if (windows_->IsActive(WindowKind::Document))
                Client()->UndoEdit();
            else
                project_.Undo();
        });
    });
    connect(Action(A::Redo1), &QAction::triggered, this, [this] {
        Run([this] {
            if (windows_->IsActive(WindowKind::Document))
                Client()->RedoEdit();
            else
                project_.Redo();
        });
    });
    OnClient(A::Cut1, &TGifClientForm::CutSelection);
    OnClient(A::Copy1, &TGifClientForm::CopySelection);
    OnClient(A::Paste1, &TGifClientForm::PasteBitmap);
    OnClient(A::Delete2, &TGifClientForm::DeleteSelection);
    for (A zoom : {A::Scale50B, A::Scale100B, A::Scale50S, A::Scale100S, A::Realsize1}) {
        connect(Action(zoom), &QAction::triggered, this, [this, zoom] {
            if (TGifClientForm* client = Client())
                client->Zoom(zoom);
        });
    }
    for (A tool : {A::CursorlButton, A::SelectButton, A::GetColorButton, A::PenButton, A::LongPenButton,
                   A::LineButton, A::QuadButton, A::EllipseButton, A::FillButton, A::TextButton}) {
        connect(Action(tool), &QAction::triggered, this, [this, tool] {
            if (TGifClientForm* client = Client())
                client->SelectTool(tool);
        });
    }
    connect(Action(A::Text1), &QAction::triggered, Action(A::TextButton), &QAction::trigger);
    connect(Action(A::OnionSkin1), &QAction::toggled, this, [this](bool on) {
        if (TGifClientForm* client = Client())
            client->SetOnionSkin(on);
    });
    connect(Action(A::Scan1), &QAction::triggered, this,
            [this] { Run([this] { commands::ScanFrame(project_, [this] { return Scan(); }); }); });
    connect(Action(A::MapofGIF1), &QAction::triggered, this, [this] { Run([this] { OpenMap(); }); });
}

} // namespace animora
