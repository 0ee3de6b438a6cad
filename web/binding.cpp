// The page's way into the C++ core, and nothing else: sessions, whose every
// event answers with the whole view as JSON, the field kinds, each field's
// name, and the digest of a loadings file.
// Plain C functions over the module's memory, which web/session.js wraps as
// the Session class the page uses: far less script to load than a binding
// library's, and nothing to register as the page opens.
#include <emscripten/emscripten.h>

#include <new>
#include <string>

#include "loadings.h"
#include "page.h"
#include "sha256.h"
#include "version.h"
#include "words.h"

using kq71wb::FieldKind;
using kq71wb::web::PageSession;

namespace {

// The last answer, which the script copies out before it calls again.
std::string g_answer;

const char* answer(std::string text)
{
    g_answer = std::move(text);
    return g_answer.c_str();
}

// Texts come in as bytes and a length: a field or a file may hold a NUL.
std::string text(const char* bytes, int length) { return std::string(bytes, static_cast<std::size_t>(length)); }

FieldKind kind(int field) { return static_cast<FieldKind>(field); }

// A call the core does not have is refused, never trusted: why, or nothing.
// A deleted session reaches here as 0, which the script passes for it.
std::string refusal(const PageSession* session) { return session ? "" : "The session was deleted."; }
// The field kind must be one of the core's, the row one of the sheet's, or
// -1 (no field) where `none` allows it.
std::string refusal(int field, int row, bool none = false)
{
    if (field < 0 || field >= kq71wb::kFieldKindCount)
        return "There is no field kind " + std::to_string(field) + '.';
    if ((row < 0 || row >= kq71wb::Sheet::kRowCount) && !(none && row == -1))
        return "There is no row " + std::to_string(row) + " (rows are 0 to " +
               std::to_string(kq71wb::Sheet::kRowCount - 1) + ").";
    return {};
}
std::string refusal(const PageSession* session, int field, int row, bool none = false)
{
    return session ? refusal(field, row, none) : refusal(session);
}

// The call's answer, or a null one when it is refused: the words then say
// why, and the script throws them as an error.
template <class Call>
const char* answerUnless(std::string why, Call call)
{
    if (!why.empty()) {
        g_answer = std::move(why);
        return nullptr;
    }
    return answer(call());
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int kq_answer_length() { return static_cast<int>(g_answer.size()); }
// Why the last call was refused, when it answered null.
EMSCRIPTEN_KEEPALIVE const char* kq_refusal() { return g_answer.c_str(); }

EMSCRIPTEN_KEEPALIVE PageSession* kq_session_new() { return new (std::nothrow) PageSession(); }
EMSCRIPTEN_KEEPALIVE const char* kq_session_delete(PageSession* session)
{
    return answerUnless(refusal(session), [&] {
        delete session;
        return std::string();
    });
}

EMSCRIPTEN_KEEPALIVE const char* kq_edit(PageSession* session, int field, int row, const char* bytes, int length)
{
    return answerUnless(refusal(session, field, row),
                        [&] { return session->edit(kind(field), row, text(bytes, length)); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_toggle_sign(PageSession* session, int field, int row, int start, int end)
{
    return answerUnless(refusal(session, field, row), [&] { return session->toggleSign(kind(field), row, start, end); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_focus(PageSession* session, int field, int row)
{
    return answerUnless(refusal(session, field, row, true), [&] { return session->focus(kind(field), row); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_press_loading(PageSession* session, int index)
{
    std::string why = refusal(session);
    if (why.empty() && (index < 0 || index >= static_cast<int>(kq71wb::kLoadingCount)))
        why = "There is no loading " + std::to_string(index) + " (loadings are 0 to " +
              std::to_string(kq71wb::kLoadingCount - 1) + ").";
    return answerUnless(std::move(why), [&] { return session->pressLoading(index); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_use_loadings(PageSession* session, const char* bytes, int length, const char* name,
                                                 int nameLength, double modified, int utcOffset, const char* sha256,
                                                 int sha256Length, double size)
{
    return answerUnless(refusal(session), [&] {
        return session->useLoadings(text(bytes, length), text(name, nameLength), modified, utcOffset,
                                    text(sha256, sha256Length), size);
    });
}
EMSCRIPTEN_KEEPALIVE const char* kq_offer_club_loadings(PageSession* session, const char* bytes, int length,
                                                        double modified, int utcOffset, const char* sha256,
                                                        int sha256Length, double size, int fetched)
{
    return answerUnless(refusal(session), [&] {
        return session->offerClubLoadings(text(bytes, length), modified, utcOffset, text(sha256, sha256Length), size,
                                          fetched != 0);
    });
}
EMSCRIPTEN_KEEPALIVE const char* kq_clear_loadings(PageSession* session)
{
    return answerUnless(refusal(session), [&] { return session->clearLoadings(); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_layout_chart(PageSession* session, double width, double textSize)
{
    return answerUnless(refusal(session), [&] { return session->layoutChart(width, textSize); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_layout_chart_for_paper(PageSession* session)
{
    return answerUnless(refusal(session), [&] { return session->layoutChartForPaper(); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_view(PageSession* session)
{
    return answerUnless(refusal(session), [&] { return session->view(); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_summary(PageSession* session)
{
    return answerUnless(refusal(session), [&] { return session->summary(); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_say_result(PageSession* session)
{
    return answerUnless(refusal(session), [&] { return session->sayResult(); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_load_sheet(PageSession* session, double madeAt, int utcOffset)
{
    return answerUnless(refusal(session), [&] { return session->loadSheet(madeAt, utcOffset); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_problem_report(PageSession* session, double madeAt, int utcOffset,
                                                   const char* platform, int platformLength)
{
    return answerUnless(refusal(session),
                        [&] { return session->problemReport(madeAt, utcOffset, text(platform, platformLength)); });
}
EMSCRIPTEN_KEEPALIVE const char* kq_reported(PageSession* session, int copied)
{
    return answerUnless(refusal(session), [&] { return session->reported(copied != 0); });
}

// The digest of a whole file, given a piece at a time, so that the page
// never holds a large file whole.
EMSCRIPTEN_KEEPALIVE kq71wb::Sha256* kq_sha256_new() { return new (std::nothrow) kq71wb::Sha256(); }
EMSCRIPTEN_KEEPALIVE void kq_sha256_delete(kq71wb::Sha256* digest) { delete digest; }
EMSCRIPTEN_KEEPALIVE void kq_sha256_add(kq71wb::Sha256* digest, const char* bytes, int length)
{
    digest->add(std::string_view(bytes, static_cast<std::size_t>(length)));
}
EMSCRIPTEN_KEEPALIVE const char* kq_sha256_hex(kq71wb::Sha256* digest) { return answer(digest->hex()); }

// The field kinds' names in the order of their numbers, "Weight,Arm,...":
// the script's FieldKind.
EMSCRIPTEN_KEEPALIVE const char* kq_field_kinds()
{
    std::string names;
    for (const std::string_view name : kq71wb::kFieldKinds)
        (names += names.empty() ? "" : ",") += name;
    return answer(names);
}
EMSCRIPTEN_KEEPALIVE const char* kq_field_name(int field, int row)
{
    return answerUnless(refusal(field, row), [&] { return kq71wb::fieldName(kind(field), row); });
}
// The captions that state the limits, as a JSON list.
EMSCRIPTEN_KEEPALIVE const char* kq_limit_captions()
{
    std::string list;
    for (int limit = 0; limit < kq71wb::kLimitCaptionCount; ++limit)
        list += (limit ? "," : "[") + kq71wb::web::jsonText(kq71wb::limitCaption(static_cast<kq71wb::LimitCaption>(limit)));
    return answer(list + ']');
}
EMSCRIPTEN_KEEPALIVE const char* kq_scale_limits() { return answer(kq71wb::web::scaleLimits()); }
EMSCRIPTEN_KEEPALIVE const char* kq_program() { return answer("KQ71WB " KQ71WB_VERSION); }
// The part of a chosen file the parser reads; the script hands the module no more of it.
EMSCRIPTEN_KEEPALIVE int kq_loadings_file_limit() { return static_cast<int>(kq71wb::kMaxFileBytes); }
// The characters a field keeps; the script hands the module no more than one past them.
EMSCRIPTEN_KEEPALIVE int kq_field_characters() { return static_cast<int>(kq71wb::kMaxFieldCharacters); }

}  // extern "C"
