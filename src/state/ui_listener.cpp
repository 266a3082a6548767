#include "state/ui_listener.h"

namespace nettor {

void notify(UiListener& listener, ViewChange change)
{
    switch (change) {
    case ViewChange::UnfoldingRequested: listener.unfoldingRequested(); break;
    case ViewChange::CountsChanged: listener.countsChanged(); break;
    case ViewChange::PartClosed: listener.partClosed(); break;
    case ViewChange::SettingsChanged: listener.settingsChanged(); break;
    case ViewChange::UnfoldingFinished: listener.unfoldingFinished(); break;
    case ViewChange::ScaleUpRequested: listener.scaleUpRequested(); break;
    case ViewChange::ScaleDownRequested: listener.scaleDownRequested(); break;
    case ViewChange::ZoomInRequested: listener.zoomInRequested(); break;
    case ViewChange::ZoomOutRequested: listener.zoomOutRequested(); break;
    case ViewChange::EdgePickUndone: listener.edgePickUndone(); break;
    case ViewChange::ModelReplaced: listener.modelReplaced(); break;
    case ViewChange::PartGrew: listener.partGrew(); break;
    case ViewChange::PartShrank: listener.partShrank(); break;
    case ViewChange::ScaleRequested: listener.scaleRequested(); break;
    case ViewChange::CandidatesReevaluated: listener.candidatesReevaluated(); break;
    case ViewChange::LayoutChanged: listener.layoutChanged(); break;
    case ViewChange::LayoutSelectionChanged: listener.layoutSelectionChanged(); break;
    }
}

} // namespace nettor
