#include "ui_command.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cmath>
#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "build_command.h"
#include "command_panel.h"
#include "creation.h"
#include "custcont.h"
#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "hold.h"
#include "node.h"
#include "scene_objects.h"
#include "scene_writer.h"
#include "whole_file.h"

namespace host {

namespace {

using WinStandIn::ControlInfo;
using WinStandIn::ControlKind;

struct Step {
    int number = 0;     // 1-based, counting steps only
    std::string where;  // "line 7" or "entry 3"
    std::vector<std::string> words;
};

// Steps from text: lines, or a JSON array of step strings.
bool ParseSteps(const std::string& text, const std::string& source, std::vector<Step>& steps,
                std::string& error) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    std::vector<std::pair<std::string, std::string>> lines;  // where, text
    if (first != std::string::npos && text[first] == '[') {
        nlohmann::json doc;
        try {
            doc = nlohmann::json::parse(text);
        } catch (const nlohmann::json::exception& e) {
            error = source + ": not valid JSON (" + e.what() + ")";
            return false;
        }
        for (std::size_t i = 0; i < doc.size(); ++i) {
            if (!doc[i].is_string()) {
                error = source + ": entry " + std::to_string(i + 1) + ": expected a step string";
                return false;
            }
            lines.emplace_back("entry " + std::to_string(i + 1), doc[i].get<std::string>());
        }
    } else {
        std::istringstream stream(text);
        std::string line;
        int n = 0;
        while (std::getline(stream, line)) {
            ++n;
            const std::size_t hash = line.find('#');
            if (hash != std::string::npos && line.find('"') == std::string::npos) line.resize(hash);
            lines.emplace_back("line " + std::to_string(n), line);
        }
    }
    for (const auto& [where, line] : lines) {
        Step step;
        step.where = where;
        std::string why;
        if (!SplitWords(line, step.words, why)) {
            error = source + ": " + where + ": " + why;
            return false;
        }
        if (step.words.empty()) continue;
        step.number = static_cast<int>(steps.size()) + 1;
        steps.push_back(std::move(step));
    }
    return true;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsNumber(const std::string& s, long& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    v = std::strtol(s.c_str(), &end, 10);
    return *end == '\0';
}

std::string Quote(const std::wstring& s) { return "\"" + ToUTF8(s) + "\""; }

class Runner {
public:
    Runner(Scene& scene, const PanelStepRules& rules)
        : scene_(scene), panel_(scene.Panel()), rules_(rules) {}

    // Runs one step; empty on success, else what went wrong.
    std::string Run(const Step& step) {
        const std::vector<std::string>& w = step.words;
        const std::string verb = Lower(w[0]);
        if (verb == "answer") return QueueAnswer(step);
        if (verb == "names") return QueueNames(step);
        std::string error = Action(verb, w);
        // What the step's dialogs and questions ran into.
        for (const std::string& problem : panel_.TakeProblems()) {
            if (error.empty()) error = problem;
        }
        if (error.empty() && panel_.AnswersQueued()) {
            error = "the `answer` step (" + answerWhere_ + ") was not used: no question came";
        }
        if (error.empty() && panel_.NamesQueued()) {
            error = "the `names` step (" + namesWhere_ +
                    ") was not used: no select-by-name "
                    "dialog opened";
        }
        return error;
    }

    // Steps that prepare an answer are checked by the step after them; at the end, by this.
    std::string Finish() {
        if (panel_.AnswersQueued()) return "the `answer` step (" + answerWhere_ + ") was not used";
        if (panel_.NamesQueued()) return "the `names` step (" + namesWhere_ + ") was not used";
        return {};
    }

private:
    std::string QueueAnswer(const Step& step) {
        if (step.words.size() != 2) return "answer takes one word: yes, no, ok or cancel";
        const std::string a = Lower(step.words[1]);
        const int answer = a == "yes"      ? IDYES
                           : a == "no"     ? IDNO
                           : a == "ok"     ? IDOK
                           : a == "cancel" ? IDCANCEL
                                           : 0;
        if (answer == 0) return "answer takes yes, no, ok or cancel, not \"" + step.words[1] + "\"";
        panel_.QueueAnswer(answer);
        answerWhere_ = step.where;
        return {};
    }

    std::string QueueNames(const Step& step) {
        if (step.words.size() < 2) return "names takes at least one node";
        std::vector<Node*> nodes;
        for (std::size_t i = 1; i < step.words.size(); ++i) {
            Node* n = FindNode(step.words[i]);
            if (!n) return "no node is named \"" + step.words[i] + "\"";
            nodes.push_back(n);
        }
        panel_.QueueNames(std::move(nodes));
        namesWhere_ = step.where;
        return {};
    }

    std::string Action(const std::string& verb, const std::vector<std::string>& w) {
        if (verb == "create") return Create(w);
        if (verb == "modify") {
            if (w.size() != 2) return "modify takes one node";
            Node* n = FindNode(w[1]);
            if (!n) return "no node is named \"" + w[1] + "\"";
            if (!n->GetObjectRef()) return "\"" + w[1] + "\" holds no object";
            scene_.SelectNode(n, 1);
            panel_.Edit(n, false);
            return {};
        }
        if (verb == "open" || verb == "close") {
            if (w.size() != 2) return verb + " takes one rollout";
            int index = -1;
            if (std::string e = FindRollout(w[1], index); !e.empty()) return e;
            panel_.Rollup()->SetPanelOpen(index, verb == "open");
            return {};
        }
        if (verb == "press") {
            if (w.size() != 2) return "press takes one control";
            HWND h = nullptr;
            if (std::string e = FindControl(w[1], h); !e.empty()) return e;
            const ControlInfo c = WinStandIn::DescribeControl(h);
            if (c.kind != ControlKind::Button && c.kind != ControlKind::CheckBox &&
                c.kind != ControlKind::Radio) {
                return "control " + w[1] + " is a " + WinStandIn::ControlKindName(c.kind) +
                       ", not something to press";
            }
            WinStandIn::UserClick(h);
            return {};
        }
        if (verb == "set") {
            if (w.size() != 3) return "set takes a control and a value";
            HWND h = nullptr;
            if (std::string e = FindControl(w[1], h); !e.empty()) return e;
            const ControlInfo c = WinStandIn::DescribeControl(h);
            if (c.kind != ControlKind::Spinner && c.kind != ControlKind::Slider) {
                return "control " + w[1] + " is a " + WinStandIn::ControlKindName(c.kind) +
                       ", not a spinner";
            }
            char* end = nullptr;
            const float v = std::strtof(w[2].c_str(), &end);
            if (*end != '\0' || !std::isfinite(v)) return "\"" + w[2] + "\" is not a number";
            if (rules_.refuseOutOfRange) {
                if (v < c.low || v > c.high) {
                    std::ostringstream range;
                    range << c.low << " to " << c.high;
                    return w[2] + " is out of the range of control " + w[1] + " (" + range.str() +
                           ")";
                }
                if (c.integer && v != std::floor(v)) {
                    return "control " + w[1] + " takes whole numbers, not " + w[2];
                }
            }
            WinStandIn::UserSetSpinner(h, v);
            return {};
        }
        if (verb == "type") {
            if (w.size() != 3) return "type takes a control and a text";
            HWND h = nullptr;
            if (std::string e = FindControl(w[1], h); !e.empty()) return e;
            const ControlInfo c = WinStandIn::DescribeControl(h);
            if (c.kind != ControlKind::Edit) {
                return "control " + w[1] + " is a " + WinStandIn::ControlKindName(c.kind) +
                       ", not an edit";
            }
            if (!WinStandIn::UserType(h, FromUTF8(w[2]))) {
                return "control " + w[1] +
                       " shows a spinner's value and takes only numbers, "
                       "not \"" +
                       w[2] + "\"";
            }
            return {};
        }
        if (verb == "choose") return Choose(w);
        if (verb == "pick") {
            if (w.size() != 2) return "pick takes one node";
            Node* n = FindNode(w[1]);
            if (!n) return "no node is named \"" + w[1] + "\"";
            return panel_.Pick(n);
        }
        if (verb == "undo" || verb == "redo") {
            if (w.size() != 1) return verb + " takes nothing";
            const BOOL done = verb == "undo" ? theHold.Undo() : theHold.Redo();
            if (!done) return std::string("there is nothing to ") + verb;
            return {};
        }
        return "\"" + w[0] +
               "\" is not a step (create, modify, open, close, press, set, type, "
               "choose, pick, names, answer, undo, redo)";
    }

    std::string Create(const std::vector<std::string>& w) {
        CreateOptions options;
        if (w.size() != 2 && !(w.size() == 4 && Lower(w[2]) == "seed")) {
            return "create takes a node name and, optionally, seed N";
        }
        if (w.size() == 4) {
            long seed = 0;
            if (!IsNumber(w[3], seed)) return "the seed \"" + w[3] + "\" is not a whole number";
            options.seed = static_cast<int>(seed);
        }
        if (FindNode(w[1])) return "a node is named \"" + w[1] + "\" already";
        ClassDesc* cd = scene_.FindClass(GEOMOBJECT_CLASS_ID, kTrellonClassID);
        if (!cd) return "the module offers no Trellon class";
        auto* obj = static_cast<Object*>(cd->Create(FALSE));
        if (!obj) return "the Trellon class made no object";
        Node* node = scene_.CreateNamedNode(obj, FromUTF8(w[1]));
        panel_.Edit(node, true);
        std::string error;
        if (!RunCreateOperation(scene_, node, options, error)) return error;
        return {};
    }

    std::string Choose(const std::vector<std::string>& w) {
        if (w.size() != 3) return "choose takes a control and a row";
        HWND h = nullptr;
        if (std::string e = FindControl(w[1], h); !e.empty()) return e;
        const ControlInfo c = WinStandIn::DescribeControl(h);
        const bool view = c.kind == ControlKind::ListView;
        if (!view && c.kind != ControlKind::ComboBox && c.kind != ControlKind::ListBox) {
            return "control " + w[1] + " is a " + WinStandIn::ControlKindName(c.kind) +
                   ", not a list";
        }
        const int count = static_cast<int>(view ? c.rows.size() : c.items.size());
        long index = -1;
        if (!IsNumber(w[2], index)) {
            index = -1;
            const std::wstring text = FromUTF8(w[2]);
            for (int i = 0; i < count && index < 0; ++i) {
                if (view) {
                    for (const std::wstring& cell : c.rows[static_cast<std::size_t>(i)]) {
                        if (cell == text) index = i;
                    }
                } else if (c.items[static_cast<std::size_t>(i)] == text) {
                    index = i;
                }
            }
            if (index < 0) return "list " + w[1] + " has no row \"" + w[2] + "\"";
        }
        if (index < 0 || index >= count) {
            return "list " + w[1] + " has no row " + w[2] + " (it has " + std::to_string(count) +
                   ")";
        }
        WinStandIn::UserChoose(h, static_cast<int>(index));
        return {};
    }

    Node* FindNode(const std::string& name) {
        return dynamic_cast<Node*>(scene_.GetINodeByName(FromUTF8(name).c_str()));
    }

    std::string FindRollout(const std::string& key, int& index) {
        IRollupWindow* r = panel_.Rollup();
        const std::string k = Lower(key);
        std::vector<int> found;
        for (int i = 0; i < r->GetNumPanels(); ++i) {
            const std::string title = Lower(r->GetPanelTitle(i).ToUTF8());
            if (title == k) {
                found = {i};
                break;
            }
            if (title.find(k) != std::string::npos) found.push_back(i);
        }
        if (found.empty()) return "no open rollout is called \"" + key + "\"";
        if (found.size() > 1) return "\"" + key + "\" names several open rollouts";
        index = found[0];
        return {};
    }

    // The control a reference names, in an unrolled rollout, enabled.
    std::string FindControl(const std::string& ref, HWND& out) {
        IRollupWindow* r = panel_.Rollup();
        std::vector<int> rollouts;
        std::string name = ref;
        const std::size_t slash = ref.find('/');
        if (slash != std::string::npos) {
            int index = -1;
            if (std::string e = FindRollout(ref.substr(0, slash), index); !e.empty()) return e;
            rollouts.push_back(index);
            name = ref.substr(slash + 1);
        } else {
            for (int i = 0; i < r->GetNumPanels(); ++i) rollouts.push_back(i);
        }
        long id = -1;
        const bool byId = IsNumber(name, id);
        const std::wstring caption = FromUTF8(Lower(name));
        std::vector<std::pair<int, HWND>> found;
        for (int i : rollouts) {
            for (HWND h : WinStandIn::DialogControls(r->GetPanelDlg(i))) {
                const ControlInfo c = WinStandIn::DescribeControl(h);
                if (c.id == -1) continue;
                std::wstring text = c.text;
                for (wchar_t& ch : text) ch = static_cast<wchar_t>(std::towlower(ch));
                if (byId ? c.id == id : text == caption) found.emplace_back(i, h);
            }
        }
        if (found.empty()) {
            return "no open rollout has a control " + (byId ? name : "\"" + name + "\"");
        }
        if (found.size() > 1) {
            std::string where;
            for (const auto& [i, h] : found) {
                where += (where.empty() ? "" : ", ") + r->GetPanelTitle(i).ToUTF8();
            }
            return "control " + ref + " is ambiguous (" + where +
                   "): name the rollout and the control's identifier, as in objects/1003";
        }
        const auto [index, h] = found[0];
        const std::string title = r->GetPanelTitle(index).ToUTF8();
        if (!r->IsPanelOpen(index)) {
            return "the rollout \"" + title + "\" is rolled up: open it first";
        }
        if (!WinStandIn::DescribeControl(h).enabled) {
            return "control " + ref + " of \"" + title + "\" is disabled";
        }
        out = h;
        return {};
    }

    Scene& scene_;
    CommandPanel& panel_;
    PanelStepRules rules_;
    std::string answerWhere_;
    std::string namesWhere_;
};

void ShowControl(const ControlInfo& c, std::ostream& out) {
    out << "  " << std::setw(5) << c.id << ' ' << WinStandIn::ControlKindName(c.kind);
    if (!c.text.empty()) out << ' ' << Quote(c.text);
    switch (c.kind) {
        case ControlKind::CheckBox:
        case ControlKind::Radio:
            out << (c.checked ? " [x]" : " [ ]");
            break;
        case ControlKind::Button:
            if (c.checkButton) out << (c.checked ? " [down]" : " [up]");
            if (!c.icon.empty()) out << " icon " << ToUTF8(c.icon);
            if (!c.tooltip.empty()) out << " tip " << Quote(c.tooltip);
            break;
        case ControlKind::Spinner:
        case ControlKind::Slider:
            if (c.integer) {
                out << ' ' << static_cast<int>(c.value);
            } else {
                out << ' ' << std::fixed << std::setprecision(3) << c.value << std::defaultfloat;
            }
            break;
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
            for (std::size_t i = 0; i < c.items.size(); ++i) {
                out << (static_cast<int>(i) == c.selected ? " >" : " ") << Quote(c.items[i]);
            }
            break;
        default:
            break;
    }
    if (!c.enabled) out << " (disabled)";
    out << '\n';
    if (c.kind == ControlKind::ListView) {
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            out << "        " << (static_cast<int>(i) == c.selected ? "> " : "  ") << i << ':';
            for (const std::wstring& cell : c.rows[i]) out << ' ' << Quote(cell);
            out << '\n';
        }
    }
}

int WriteResult(Scene& scene, const std::string& output, std::ostream& out, std::ostream& err) {
    const std::string lower = Lower(output);
    const auto endsWith = [&](const std::string& tail) {
        return lower.size() >= tail.size() &&
               lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
    };
    EvaluateShownNodes(scene, scene.GetTime());
    if (endsWith(".scene.json")) {
        try {
            SaveSceneFile(scene, output);
        } catch (const SceneFileError& e) {
            err << "trellon-host: " << e.what() << '\n';
            return 1;
        }
        out << "saved " << output << " (" << scene.Nodes().size() << " nodes)\n";
        return 0;
    }
    std::string error;
    const std::vector<EvaluatedNode> nodes = EvaluateScene(scene, scene.GetTime());
    if (!WriteGlb(nodes, scene, output, error)) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    out << "wrote " << output << '\n';
    return 0;
}

bool OutputUsable(const std::string& output) {
    const std::string lower = Lower(output);
    const auto endsWith = [&](const std::string& tail) {
        return lower.size() >= tail.size() &&
               lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
    };
    return output.empty() || endsWith(".scene.json") || endsWith(".glb");
}

}  // namespace

bool SplitWords(const std::string& text, std::vector<std::string>& words, std::string& error) {
    words.clear();
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : text) {
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        error = "a double quote is not closed";
        return false;
    }
    if (inWord) words.push_back(word);
    return true;
}

void ShowPanel(Scene& scene, std::ostream& out) {
    IRollupWindow* r = scene.Panel().Rollup();
    if (r->GetNumPanels() == 0) {
        out << "(no rollouts open)\n";
        return;
    }
    for (int i = 0; i < r->GetNumPanels(); ++i) {
        out << "[" << r->GetPanelTitle(i).ToUTF8() << "]"
            << (r->IsPanelOpen(i) ? "" : " (rolled up)") << '\n';
        if (!r->IsPanelOpen(i)) continue;
        for (HWND h : WinStandIn::DialogControls(r->GetPanelDlg(i))) {
            const ControlInfo c = WinStandIn::DescribeControl(h);
            if (c.id == -1) continue;
            ShowControl(c, out);
        }
    }
}

std::string RunPanelSteps(Scene& scene, const std::string& text, const std::string& source,
                          const PanelStepRules& rules) {
    std::vector<Step> steps;
    std::string error;
    if (!ParseSteps(text, source, steps, error)) return error;
    CommandPanel& panel = scene.Panel();
    panel.SetStrict(true);
    Runner runner(scene, rules);
    for (const Step& step : steps) {
        const std::string e = runner.Run(step);
        if (!e.empty()) {
            panel.SetStrict(false);
            return source + ": step " + std::to_string(step.number) + " (" + step.where + ", " +
                   step.words[0] + "): " + e;
        }
    }
    panel.SetStrict(false);
    if (const std::string e = runner.Finish(); !e.empty()) return source + ": " + e;
    return {};
}

int UiScene(Scene& scene, const UiOptions& options, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> text = ReadWholeFile(options.steps);
    if (!text) {
        err << "trellon-host: " << options.steps << ": cannot be read\n";
        return 1;
    }
    if (const int status = LoadInto(scene, options.scene, err); status != 0) return status;
    scene.ClearMessages();
    // A user at the panel: the scene's own set-up is not part of the undo record.
    theHold.ClearRecord();
    if (const std::string e = RunPanelSteps(scene, *text, options.steps); !e.empty()) {
        err << "trellon-host: " << e << '\n';
        return 1;
    }
    if (options.show) ShowPanel(scene, out);
    for (const std::wstring& page : scene.Panel().OpenedPages()) {
        out << "opened " << ToUTF8(page) << '\n';
    }
    for (const MessageRecord& m : scene.Messages()) {
        out << "message \"" << ToUTF8(m.caption) << "\": " << ToUTF8(m.text) << '\n';
    }
    if (!options.output.empty()) return WriteResult(scene, options.output, out, err);
    return 0;
}

int RunUi(const std::string& modulePath, const UiOptions& options, std::ostream& out,
          std::ostream& err) {
    if (!OutputUsable(options.output)) {
        err << "trellon-host: " << options.output
            << ": the ui command writes a .scene.json or a .glb\n";
        return 2;
    }
    return WithModule(modulePath, err,
                      [&](Scene& scene) { return UiScene(scene, options, out, err); });
}

}  // namespace host
