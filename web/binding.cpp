// The page's way into the C++ core, and nothing else: each call takes and
// gives plain texts and numbers, and the page shows what comes back.
#include <emscripten/bind.h>

#include "loadings.h"
#include "page.h"
#include "version.h"
#include "words.h"

namespace {

std::string nameOfField(int kind, int row) { return kq71wb::fieldName(static_cast<kq71wb::FieldKind>(kind), row); }
std::string program() { return "KQ71WB " KQ71WB_VERSION; }
// The part of a chosen file the parser reads; the page keeps no more of it.
double loadingsFileLimit() { return static_cast<double>(kq71wb::kMaxFileBytes); }

}  // namespace

EMSCRIPTEN_BINDINGS(kq71wb)
{
    using namespace emscripten;
    function("reset", &kq71wb::web::reset);
    function("edit", &kq71wb::web::edit);
    function("view", &kq71wb::web::view);
    function("useLoadings", &kq71wb::web::useLoadings);
    function("pressLoading", &kq71wb::web::pressLoading);
    function("loadSheet", &kq71wb::web::loadSheet);
    function("fieldName", &nameOfField);
    function("program", &program);
    function("loadingsFileLimit", &loadingsFileLimit);
}
