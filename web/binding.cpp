// The page's way into the C++ core, and nothing else: one session, whose
// every event answers with the whole view as JSON, and the field kinds.
#include <emscripten/bind.h>

#include "loadings.h"
#include "page.h"
#include "version.h"
#include "words.h"

namespace {

std::string program() { return "KQ71WB " KQ71WB_VERSION; }
// The part of a chosen file the parser reads; the page keeps no more of it.
double loadingsFileLimit() { return static_cast<double>(kq71wb::kMaxFileBytes); }

}  // namespace

EMSCRIPTEN_BINDINGS(kq71wb)
{
    using namespace emscripten;
    using kq71wb::FieldKind;
    using kq71wb::web::PageSession;
    enum_<FieldKind>("FieldKind")
        .value("Weight", FieldKind::Weight)
        .value("Arm", FieldKind::Arm)
        .value("Moment", FieldKind::Moment)
        .value("Description", FieldKind::Description);
    class_<PageSession>("Session")
        .constructor<>()
        .function("edit", &PageSession::edit)
        .function("toggleSign", &PageSession::toggleSign)
        .function("focus", &PageSession::focus)
        .function("pressLoading", &PageSession::pressLoading)
        .function("useLoadings", &PageSession::useLoadings)
        .function("clearLoadings", &PageSession::clearLoadings)
        .function("view", &PageSession::view)
        .function("chartFrame", &PageSession::chartFrame)
        .function("summary", &PageSession::summary)
        .function("loadSheet", &PageSession::loadSheet);
    function("fieldName", &kq71wb::fieldName);
    function("program", &program);
    function("loadingsFileLimit", &loadingsFileLimit);
}
