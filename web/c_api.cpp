// The core's face for JavaScript: plain C functions (the page's core.js
// wraps them), which cost the download far less than a binding library.
// Texts go in as UTF-8 and come back as UTF-8 owned here: an answer stays
// valid until the next call on the same object.
#include <emscripten/emscripten.h>

#include <string>

#include "version/version.h"
#include "web/card_tools.h"
#include "web/form_session.h"

using proxcred::web::CardTools;
using proxcred::web::CommandResult;
using proxcred::web::FormSession;

namespace {

// A form session and the answer it gave last.
struct Session {
    explicit Session(const char* clipboard) : form(clipboard) {}
    FormSession form;
    std::string answer;
};

const char* answered(Session* session, std::string answer) {
    session->answer = std::move(answer);
    return session->answer.c_str();
}

// The card tools and the result of the last command.
struct Tools {
    CardTools tools;
    CommandResult result;
    std::string error;
};

int ran(Tools* tools, CommandResult result) {
    tools->result = std::move(result);
    return tools->result.status;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* proxcred_version() {
    return proxcred::kVersion.data();
}

EMSCRIPTEN_KEEPALIVE Session* proxcred_form_new(const char* clipboard) {
    return new Session(clipboard);
}
EMSCRIPTEN_KEEPALIVE void proxcred_form_delete(Session* session) {
    delete session;
}
EMSCRIPTEN_KEEPALIVE const char* proxcred_form_start(Session* session) {
    return answered(session, session->form.start());
}
EMSCRIPTEN_KEEPALIVE const char* proxcred_form_everything(Session* session) {
    return answered(session, session->form.everything());
}
EMSCRIPTEN_KEEPALIVE const char* proxcred_form_edit(Session* session, const char* control,
                                                    const char* text) {
    return answered(session, session->form.edit(control, text));
}
EMSCRIPTEN_KEEPALIVE const char* proxcred_form_enter(Session* session, const char* control) {
    return answered(session, session->form.enter(control));
}
EMSCRIPTEN_KEEPALIVE const char* proxcred_form_click(Session* session, const char* control,
                                                     int ctrl, int shift) {
    return answered(session, session->form.click(control, ctrl != 0, shift != 0));
}
EMSCRIPTEN_KEEPALIVE const char* proxcred_form_focus(Session* session, const char* control) {
    return answered(session, session->form.focus(control));
}
EMSCRIPTEN_KEEPALIVE const char* proxcred_form_show_page(Session* session, int page) {
    return answered(session, session->form.showPage(page));
}

EMSCRIPTEN_KEEPALIVE Tools* proxcred_tools_new() {
    return new Tools();
}
EMSCRIPTEN_KEEPALIVE void proxcred_tools_delete(Tools* tools) {
    delete tools;
}
// The refusal of the formats, or "" when they were taken.
EMSCRIPTEN_KEEPALIVE const char* proxcred_tools_set_formats(Tools* tools, const char* json) {
    tools->error = tools->tools.setFormats(json);
    return tools->error.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* proxcred_tools_out(Tools* tools) {
    return tools->result.out.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* proxcred_tools_err(Tools* tools) {
    return tools->result.err.c_str();
}
EMSCRIPTEN_KEEPALIVE int proxcred_tools_encode(Tools* tools, const char* key, const char* facility,
                                               const char* version, const char* hotstamps) {
    return ran(tools, tools->tools.encode(key, facility, version, hotstamps));
}
EMSCRIPTEN_KEEPALIVE int proxcred_tools_split(Tools* tools, const char* input, int json) {
    return ran(tools, tools->tools.split(input, json != 0));
}
EMSCRIPTEN_KEEPALIVE int proxcred_tools_wiegand_list(Tools* tools, int json) {
    return ran(tools, tools->tools.wiegandList(json != 0));
}
EMSCRIPTEN_KEEPALIVE int proxcred_tools_wiegand_encode(Tools* tools, const char* format,
                                                       const char* facility, const char* card,
                                                       const char* issue, const char* oem,
                                                       const char* outForm, int json) {
    return ran(tools, tools->tools.wiegandEncode(format, {facility, card, issue, oem}, outForm,
                                                 json != 0));
}
EMSCRIPTEN_KEEPALIVE int proxcred_tools_wiegand_decode(Tools* tools, const char* input,
                                                       const char* inForm, const char* bits,
                                                       const char* format, int json) {
    return ran(tools, tools->tools.wiegandDecode(input, inForm, bits, format, json != 0));
}
EMSCRIPTEN_KEEPALIVE int proxcred_tools_wiegand_identify(Tools* tools, const char* input,
                                                         const char* inForm, const char* bits,
                                                         int json) {
    return ran(tools, tools->tools.wiegandIdentify(input, inForm, bits, json != 0));
}
EMSCRIPTEN_KEEPALIVE int proxcred_tools_em(Tools* tools, const char* input, const char* inForm,
                                           const char* outForm, int json) {
    return ran(tools, tools->tools.em(input, inForm, outForm, json != 0));
}

}  // extern "C"
