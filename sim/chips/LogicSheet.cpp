#include "sim/chips/LogicSheet.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <stdexcept>

namespace zelvar::sim::logic {

namespace {

const std::vector<PinRef> kNoPins;
const std::set<std::string> kNumberKeys = {"mod", "tails", "altor"};
const std::set<std::string> kGates = {"and", "nand", "or", "nor", "xor", "xnor", "buf", "not"};
// Keys naming inputs; every other key names outputs.
const std::set<std::string> kInputKeys = {
    "in",   "oe",   "en",    "sel", "data",  "clk", "d",   "j",     "k",  "clr", "pre", "le",
    "sclr", "load", "sload", "up",  "rcoen", "alt", "ser", "store", "lt", "bi",  "ph"};

[[noreturn]] void Fail(int line, const std::string& what) {
  throw std::runtime_error("logic source line " + std::to_string(line) + ": " + what);
}

PinRef ParsePin(const std::string& t, int line) {
  PinRef r;
  std::size_t i = 0;
  if (!t.empty() && t[0] == '~') {
    r.low = true;
    i = 1;
  }
  try {
    std::size_t used = 0;
    r.pin = std::stoi(t.substr(i), &used);
    if (used != t.size() - i || r.pin < 0 || r.pin > 24) Fail(line, "bad pin " + t);
  } catch (const std::logic_error&) {
    Fail(line, "bad pin " + t);
  }
  return r;
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::string item;
  std::istringstream in(s);
  while (std::getline(in, item, sep)) out.push_back(item);
  return out;
}

// "7400" in TTL74 is chip 0; "40106" in CMOS40 is chip 106; "4511" in CMOS45 is chip 11.
std::string LibraryOf(const std::string& name) {
  return name.rfind("74", 0) == 0 ? "TTL74" : name.rfind("45", 0) == 0 ? "CMOS45" : "CMOS40";
}

int NumberOf(const std::string& library, const std::string& name, int line) {
  const std::string prefix = library == "TTL74" ? "74" : library == "CMOS40" ? "40" : "45";
  if (name.rfind(prefix, 0) != 0 || name.size() < 4 || name.size() > 5) {
    Fail(line, name + " is no " + library + " name");
  }
  return std::stoi(name.substr(2));
}

}  // namespace

const std::vector<PinRef>& Cell::Pins(const std::string& key) const {
  const auto it = pins.find(key);
  return it == pins.end() ? kNoPins : it->second;
}

int Cell::Number(const std::string& key, int otherwise) const {
  const auto it = numbers.find(key);
  return it == numbers.end() ? otherwise : it->second;
}

std::vector<int> ChipDef::Inputs() const {
  std::set<int> s;
  for (const Cell& c : cells) {
    for (const auto& [key, refs] : c.pins) {
      if (!kInputKeys.count(key)) continue;
      for (const PinRef& r : refs) {
        if (r.pin) s.insert(r.pin);
      }
    }
  }
  return {s.begin(), s.end()};
}

std::vector<int> ChipDef::Outputs() const {
  std::set<int> s;
  for (const Cell& c : cells) {
    for (const auto& [key, refs] : c.pins) {
      if (kInputKeys.count(key)) continue;
      for (const PinRef& r : refs) {
        if (r.pin) s.insert(r.pin);
      }
    }
  }
  return {s.begin(), s.end()};
}

std::vector<ChipDef> ParseSource(std::string_view text) {
  std::vector<ChipDef> chips;
  std::string library;
  std::istringstream in{std::string(text)};
  int lineNo = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string head;
    if (!(words >> head)) continue;
    if (head == "library") {
      words >> library;
      if (library != "TTL74" && library != "CMOS40" && library != "CMOS45") {
        Fail(lineNo, "unknown library " + library);
      }
      continue;
    }
    if (library.empty()) Fail(lineNo, "no library named yet");
    if (head == "chip" || head == "alias") {
      ChipDef c;
      c.library = library;
      std::string name;
      words >> name;
      c.number = NumberOf(library, name, lineNo);
      if (head == "chip") {
        if (!(words >> c.pins) || (c.pins != 14 && c.pins != 16 && c.pins != 20 && c.pins != 24)) {
          Fail(lineNo, "a chip has 14, 16, 20 or 24 pins");
        }
      } else {
        std::string target;
        words >> target;
        c.aliasOf = NumberOf(library, target, lineNo);
      }
      std::getline(words >> std::ws, c.title);
      for (const ChipDef& o : chips) {
        if (o.library == library && o.number == c.number) Fail(lineNo, "second chip " + name);
      }
      chips.push_back(std::move(c));
      continue;
    }
    if (chips.empty() || chips.back().aliasOf >= 0) Fail(lineNo, "a cell outside a chip");
    ChipDef& chip = chips.back();
    if (head == "like") {
      std::string name;
      words >> name;
      const std::string lib = LibraryOf(name);
      const int number = NumberOf(lib, name, lineNo);
      const auto t = std::find_if(chips.begin(), chips.end() - 1, [&](const ChipDef& o) {
        return o.library == lib && o.number == number && o.aliasOf < 0;
      });
      if (t == chips.end() - 1 || t->pins != chip.pins)
        Fail(lineNo, "no chip " + name + " to be like");
      chip.cells.insert(chip.cells.end(), t->cells.begin(), t->cells.end());
      continue;
    }
    Cell cell;
    cell.kind = head;
    std::vector<std::string> tokens;
    for (std::string t; words >> t;) tokens.push_back(t);
    if (kGates.count(head)) {
      const auto arrow = std::find(tokens.begin(), tokens.end(), ">");
      if (arrow == tokens.end() || arrow + 2 != tokens.end() || arrow == tokens.begin()) {
        Fail(lineNo, "a gate reads: kind inputs > output");
      }
      for (auto t = tokens.begin(); t != arrow; ++t)
        cell.pins["in"].push_back(ParsePin(*t, lineNo));
      cell.pins["out"].push_back(ParsePin(*(arrow + 1), lineNo));
    } else {
      for (const std::string& t : tokens) {
        const auto eq = t.find('=');
        if (eq == std::string::npos) Fail(lineNo, "expected key=value, got " + t);
        const std::string key = t.substr(0, eq);
        if (kNumberKeys.count(key)) {
          cell.numbers[key] = std::stoi(t.substr(eq + 1));
          continue;
        }
        for (const std::string& p : Split(t.substr(eq + 1), ',')) {
          cell.pins[key].push_back(ParsePin(p, lineNo));
        }
      }
    }
    for (const auto& [key, refs] : cell.pins) {
      for (const PinRef& r : refs) {
        if (r.pin > chip.pins || r.pin == chip.VccPin() || r.pin == chip.GroundPin()) {
          if (r.pin) Fail(lineNo, "pin " + std::to_string(r.pin) + " is no signal pin");
        }
      }
    }
    chip.cells.push_back(std::move(cell));
  }
  // Aliases take their target's pins and cells.
  for (ChipDef& c : chips) {
    if (c.aliasOf < 0) continue;
    const auto t = std::find_if(chips.begin(), chips.end(), [&](const ChipDef& o) {
      return o.library == c.library && o.number == c.aliasOf && o.aliasOf < 0;
    });
    if (t == chips.end()) throw std::runtime_error("alias of a missing chip in " + c.library);
    c.pins = t->pins;
    c.cells = t->cells;
  }
  for (const ChipDef& c : chips) {
    const auto ins = c.Inputs();
    for (const int o : c.Outputs()) {
      if (std::binary_search(ins.begin(), ins.end(), o)) {
        throw std::runtime_error(c.library + " chip " + std::to_string(c.number) + ": pin " +
                                 std::to_string(o) + " is input and output");
      }
    }
  }
  return chips;
}

const std::vector<ChipDef>& Chips() {
  static const std::vector<ChipDef> chips = ParseSource(SourceText());
  return chips;
}

const ChipDef* FindChip(std::string_view library, int number) {
  for (const ChipDef& c : Chips()) {
    if (c.library == library && c.number == number) return &c;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Evaluation.

namespace {

Level Not(Level v) {
  return v == L0 ? L1 : v == L1 ? L0 : v;
}

struct CellState {
  std::vector<Level> bits;  // flip-flops, latches, shift stages, storage (after the stages)
  int value = 0;            // counters, latched addresses and digits
  bool known = false;
  std::map<int, Level> last;  // previous level of each edge input, by pin
};

// The key under which a counter keeps its gated clock's last level.
constexpr int kGatedClock = 100;

constexpr std::uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7C, 0x07, 0x7F, 0x67};

}  // namespace

struct Evaluator::Impl {
  const ChipDef& chip;
  std::vector<CellState> st;
  std::vector<Level> in, out;

  Impl(const ChipDef& c, bool unknown, std::uint32_t seed) : chip(c), st(c.cells.size()) {
    std::uint32_t r = seed * 2654435761u + 12345u;
    auto next = [&r] {
      r = r * 1103515245u + 12345u;
      return (r >> 16) & 1;
    };
    for (std::size_t i = 0; i < st.size(); ++i) {
      st[i].bits.assign(64, LX);
      st[i].known = !unknown;
      if (!unknown) {
        for (auto& b : st[i].bits) b = next() ? L1 : L0;
        st[i].value = static_cast<int>(r >> 20) & 0xF;
      }
    }
    in.assign(c.pins + 1, L1);
    out.assign(c.pins + 1, LZ);
  }

  Level Pin(const PinRef& r) const {
    if (r.pin == 0) return L1;
    const Level v = in[r.pin];
    return r.low ? Not(v) : v;
  }
  // The key's inputs all at their active level (true when the key is absent).
  bool Active(const Cell& c, const std::string& key) const {
    for (const PinRef& r : c.Pins(key)) {
      if (Pin(r) != L1) return false;
    }
    return true;
  }
  bool Present(const Cell& c, const std::string& key) const { return c.Has(key); }
  bool AnyActive(const Cell& c, const std::string& key) const {
    return c.Has(key) && Active(c, key);
  }
  // An active edge on the cell's key input since the last settle: rising, or falling for "~".
  bool Edge(CellState& s, const PinRef& r) {
    const Level now = in[r.pin];
    const auto it = s.last.find(r.pin);
    const Level before = it == s.last.end() ? LX : it->second;
    return r.low ? (before == L1 && now == L0) : (before == L0 && now == L1);
  }
  void Put(const PinRef& r, Level v) {
    if (r.pin == 0) return;
    out[r.pin] = r.low ? Not(v) : v;
  }
  int Value(const std::vector<PinRef>& refs) const {
    int v = 0;
    for (std::size_t i = 0; i < refs.size(); ++i) {
      if (Pin(refs[i]) == L1) v |= 1 << i;
    }
    return v;
  }

  void Gate(const Cell& c) {
    const auto& ins = c.Pins("in");
    int ones = 0;
    for (const PinRef& r : ins) ones += Pin(r) == L1;
    const int n = static_cast<int>(ins.size());
    bool v = false;
    const std::string& k = c.kind;
    if (k == "and" || k == "nand") v = ones == n;
    if (k == "or" || k == "nor") v = ones > 0;
    if (k == "xor" || k == "xnor") v = ones % 2 == 1;
    if (k == "buf" || k == "not") v = ones == 1;
    if (k == "nand" || k == "nor" || k == "xnor" || k == "not") v = !v;
    Put(c.Pins("out")[0], v ? L1 : L0);
  }

  void Tbuf(const Cell& c) {
    const bool on = Active(c, "oe");
    const auto& ins = c.Pins("in");
    const auto& outs = c.Pins("out");
    for (std::size_t i = 0; i < outs.size() && i < ins.size(); ++i) {
      if (on) {
        Put(outs[i], Pin(ins[i]));
      } else {
        out[outs[i].pin] = LZ;
      }
    }
  }

  void Decoder(const Cell& c, CellState& s) {
    if (!c.Has("le") || Active(c, "le")) {
      s.value = Value(c.Pins("sel"));
      s.known = true;
    }
    const bool on = Active(c, "en");
    const auto& outs = c.Pins("out");
    for (std::size_t i = 0; i < outs.size(); ++i) {
      const Level v = !on ? L0 : !s.known ? LX : static_cast<int>(i) == s.value ? L1 : L0;
      Put(outs[i], v);
    }
  }

  void Mux(const Cell& c) {
    const auto& data = c.Pins("data");
    const int sel = Value(c.Pins("sel"));
    Level y = sel < static_cast<int>(data.size()) ? Pin(data[sel]) : L0;
    if (!Active(c, "en")) y = L0;
    const bool visible = Active(c, "oe");
    for (const PinRef& r : c.Pins("out")) {
      if (visible) {
        Put(r, y);
      } else {
        out[r.pin] = LZ;
      }
    }
  }

  // Drives q (and qn) from the stored bits; both set and reset active drive both high.
  void ShowBits(const Cell& c, const CellState& s, std::size_t first, bool both) {
    const bool visible = Active(c, "oe");
    const auto& q = c.Pins("q");
    const auto& qn = c.Pins("qn");
    for (std::size_t i = 0; i < q.size(); ++i) {
      if (q[i].pin == 0) continue;
      if (!visible) {
        out[q[i].pin] = LZ;
      } else {
        Put(q[i], both ? L1 : s.bits[first + i]);
      }
    }
    for (std::size_t i = 0; i < qn.size(); ++i) {
      if (qn[i].pin) Put(qn[i], both ? L1 : Not(s.bits[first + i]));
    }
  }

  void FlipFlop(const Cell& c, CellState& s) {
    const std::size_t n = c.Pins("q").size();
    const bool edge = Edge(s, c.Pins("clk")[0]);
    const bool clr = AnyActive(c, "clr"), pre = AnyActive(c, "pre");
    if (edge && Active(c, "en") && !clr && !pre) {
      for (std::size_t i = 0; i < n; ++i) {
        if (c.Has("d")) {
          s.bits[i] = Pin(c.Pins("d")[i]);
          continue;
        }
        const Level j = Pin(c.Pins("j")[i]), k = Pin(c.Pins("k")[i]);
        if (j == L1 && k == L1) s.bits[i] = Not(s.bits[i]);
        if (j == L1 && k == L0) s.bits[i] = L1;
        if (j == L0 && k == L1) s.bits[i] = L0;
      }
    }
    for (std::size_t i = 0; i < n; ++i) {
      if (clr) s.bits[i] = L0;
      if (pre) s.bits[i] = L1;
    }
    ShowBits(c, s, 0, clr && pre);
  }

  void Latch(const Cell& c, CellState& s) {
    if (Active(c, "le")) {
      const auto& d = c.Pins("d");
      for (std::size_t i = 0; i < d.size(); ++i) s.bits[i] = Pin(d[i]);
    }
    ShowBits(c, s, 0, false);
  }

  void Counter(const Cell& c, CellState& s) {
    const auto& q = c.Pins("q");
    const int bits = static_cast<int>(q.size());
    const int mod = c.Number("mod", 1 << bits);
    const bool up = !c.Has("up") || Active(c, "up");
    const PinRef clk = c.Pins("clk")[0];
    bool edge;
    if (c.Has("alt")) {
      // A second clock input gated with the first (the 4017's inhibit, the 4518's enable).
      const Level a = Pin(c.Pins("alt")[0]);
      const Level k = Pin(clk);
      const Level now =
          c.Number("altor", 0) ? (a == L1 || k == L1 ? L1 : L0) : (a == L1 && k == L1 ? L1 : L0);
      const auto it = s.last.find(kGatedClock);
      edge = it != s.last.end() && it->second == L0 && now == L1;
      s.last[kGatedClock] = now;
    } else {
      edge = Edge(s, clk);
    }
    const bool step = edge && Active(c, "en");
    const auto load = [&] {
      s.value = Value(c.Pins("d"));
      s.known = true;
    };
    // Synchronous clear and load take the clock whatever the enables say.
    if (edge && AnyActive(c, "sclr")) {
      s.value = 0;
      s.known = true;
    } else if (edge && AnyActive(c, "sload")) {
      load();
    } else if (step) {
      if (s.known) {
        if (up) {
          s.value = s.value == mod - 1 || s.value + 1 >= (1 << bits) ? 0 : s.value + 1;
        } else {
          s.value = s.value == 0 ? mod - 1 : s.value - 1;
        }
      }
    }
    if (AnyActive(c, "load")) load();
    if (AnyActive(c, "clr")) {
      s.value = 0;
      s.known = true;
    }
    for (int i = 0; i < bits; ++i) Put(q[i], !s.known ? LX : (s.value >> i) & 1 ? L1 : L0);
    const auto& dec = c.Pins("dec");
    for (std::size_t i = 0; i < dec.size(); ++i) {
      Put(dec[i], !s.known ? LX : s.value == static_cast<int>(i) ? L1 : L0);
    }
    for (const PinRef& r : c.Pins("cout")) Put(r, !s.known ? LX : s.value < mod / 2 ? L1 : L0);
    for (const PinRef& r : c.Pins("rco")) {
      const bool terminal = up ? s.value == mod - 1 : s.value == 0;
      Put(r, !s.known ? (Active(c, "rcoen") ? LX : L0) : terminal && Active(c, "rcoen") ? L1 : L0);
    }
  }

  void Shift(const Cell& c, CellState& s) {
    const auto& q = c.Pins("q");
    const std::size_t n = q.size();
    const bool edge = Edge(s, c.Pins("clk")[0]);
    // The storage register takes the stages as they were before a shift on the same edge.
    const bool storeEdge = c.Has("store") && Edge(s, c.Pins("store")[0]);
    if (storeEdge) {
      for (std::size_t i = 0; i < n; ++i) s.bits[n + i] = s.bits[i];
    }
    if (edge && Active(c, "en")) {
      if (AnyActive(c, "sload")) {
        for (std::size_t i = 0; i < n; ++i) s.bits[i] = Pin(c.Pins("d")[i]);
      } else {
        for (std::size_t i = n - 1; i > 0; --i) s.bits[i] = s.bits[i - 1];
        Level ser = L1;
        for (const PinRef& r : c.Pins("ser")) {
          if (Pin(r) == L0) ser = L0;
        }
        s.bits[0] = ser;
      }
    }
    if (AnyActive(c, "load")) {
      for (std::size_t i = 0; i < n; ++i) s.bits[i] = Pin(c.Pins("d")[i]);
    }
    if (AnyActive(c, "clr")) {
      for (std::size_t i = 0; i < n; ++i) s.bits[i] = L0;
    }
    for (const PinRef& r : c.Pins("sout")) Put(r, s.bits[n - 1]);
    if (c.Has("store")) {
      // The storage register behind the stages shows on q (the 74595).
      ShowBits(c, s, n, false);
    } else {
      ShowBits(c, s, 0, false);
    }
  }

  void Seg7(const Cell& c, CellState& s) {
    if (Active(c, "le")) {
      s.value = Value(c.Pins("in"));
      s.known = true;
    }
    const auto& outs = c.Pins("out");
    for (std::size_t i = 0; i < outs.size(); ++i) {
      Level v;
      if (AnyActive(c, "lt")) {
        v = L1;
      } else if (AnyActive(c, "bi")) {
        v = L0;
      } else if (!s.known) {
        v = LX;
      } else {
        std::uint8_t seg = s.value < 10 ? kSegments[s.value] : 0;
        if (c.Number("tails", 0) && s.value == 6) seg = 0x7D;
        if (c.Number("tails", 0) && s.value == 9) seg = 0x6F;
        v = (seg >> i) & 1 ? L1 : L0;
      }
      if (AnyActive(c, "ph")) v = Not(v);
      Put(outs[i], v);
    }
  }

  void Settle() {
    for (std::size_t i = 0; i < chip.cells.size(); ++i) {
      const Cell& c = chip.cells[i];
      CellState& s = st[i];
      const std::string& k = c.kind;
      if (kGates.count(k)) {
        Gate(c);
      } else if (k == "tbuf") {
        Tbuf(c);
      } else if (k == "dec") {
        Decoder(c, s);
      } else if (k == "mux") {
        Mux(c);
      } else if (k == "ff") {
        FlipFlop(c, s);
      } else if (k == "latch") {
        Latch(c, s);
      } else if (k == "count") {
        Counter(c, s);
      } else if (k == "shift") {
        Shift(c, s);
      } else if (k == "seg7") {
        Seg7(c, s);
      } else {
        throw std::runtime_error("unknown cell kind " + k);
      }
      for (const char* key : {"clk", "alt", "store"}) {
        for (const PinRef& r : c.Pins(key)) s.last[r.pin] = in[r.pin];
      }
    }
  }
};

Evaluator::Evaluator(const ChipDef& chip, bool unknownStart, std::uint32_t seed)
    : impl_(std::make_unique<Impl>(chip, unknownStart, seed)) {
  impl_->Settle();
}
Evaluator::~Evaluator() = default;
Evaluator::Evaluator(Evaluator&&) noexcept = default;

void Evaluator::Apply(const std::vector<Level>& pins) {
  for (int p = 1; p <= impl_->chip.pins; ++p) {
    impl_->in[p] = p < static_cast<int>(pins.size()) && pins[p] == L0 ? L0 : L1;
  }
  impl_->Settle();
}

Level Evaluator::Out(int pin) const {
  if (pin < 1 || pin > impl_->chip.pins) return LZ;
  return impl_->out[pin];
}

// ---------------------------------------------------------------------------------------------
// Test sequences.

namespace {

// How often an input sits at its active level in the pseudo-random part.
int ActiveOdds(const std::string& key) {
  if (key == "clr" || key == "pre" || key == "load" || key == "sclr" || key == "sload" ||
      key == "lt" || key == "bi") {
    return 5;  // percent: rare, so that state builds up between them
  }
  if (key == "en" || key == "oe" || key == "rcoen") return 85;
  return 50;
}

struct Generator {
  const ChipDef& chip;
  Evaluator eval;
  std::vector<TestStep> steps;
  std::uint32_t rng;
  std::vector<int> inputs, outputs;
  std::map<int, std::pair<std::string, bool>> role;  // pin -> (key, active low)
  std::vector<PinRef> clocks;

  explicit Generator(const ChipDef& c)
      : chip(c), eval(c, true), rng(0x9E3779B9u ^ static_cast<std::uint32_t>(c.number * 7919)) {
    inputs = c.Inputs();
    outputs = c.Outputs();
    for (const Cell& cell : c.cells) {
      for (const auto& [key, refs] : cell.pins) {
        for (const PinRef& r : refs) {
          if (!r.pin) continue;
          if (key == "clk" || key == "store") {
            clocks.push_back(r);
          } else if (!role.count(r.pin)) {
            role[r.pin] = {key, r.low};
          }
        }
      }
    }
  }

  int Random(int n) {
    rng = rng * 1664525u + 1013904223u;
    return static_cast<int>((rng >> 8) % static_cast<std::uint32_t>(n));
  }
  bool IsClock(int pin) const {
    return std::any_of(clocks.begin(), clocks.end(), [&](const PinRef& r) { return r.pin == pin; });
  }

  std::vector<Level> Released() const { return std::vector<Level>(chip.pins + 1, L1); }

  // Applies `drive`, records the step; outputs still unknown make it a drive-only step.
  void Emit(const std::vector<Level>& drive) {
    eval.Apply(drive);
    TestStep s;
    s.drive = drive;
    s.expect = drive;
    for (const int o : outputs) {
      const Level v = eval.Out(o);
      if (v == LX) s.compare = false;
      s.expect[o] = v == L0 ? L0 : L1;  // released reads high through the pull-up
    }
    steps.push_back(std::move(s));
  }

  // A clock pair: clocks resting, then each clock's active edge, other inputs held.
  void Pair(std::vector<Level> drive) {
    for (const PinRef& r : clocks) drive[r.pin] = r.low ? L1 : L0;
    Emit(drive);
    for (const PinRef& r : clocks) drive[r.pin] = r.low ? L0 : L1;
    Emit(drive);
  }

  std::vector<Level> RandomInputs() {
    std::vector<Level> d = Released();
    for (const int p : inputs) {
      if (IsClock(p)) continue;
      const auto& [key, low] = role[p];
      const bool active = Random(100) < ActiveOdds(key);
      d[p] = active != low ? L1 : L0;
    }
    return d;
  }

  std::vector<Level> IdleInputs() {
    std::vector<Level> d = Released();
    for (const int p : inputs) {
      if (IsClock(p)) continue;
      const auto& [key, low] = role[p];
      const bool active = ActiveOdds(key) > 50;
      d[p] = active != low ? L1 : L0;
    }
    return d;
  }

  void Combinational(int budget) {
    const int n = static_cast<int>(inputs.size());
    if (n <= 7) {
      for (int v = 0; v < (1 << n); ++v) {
        std::vector<Level> d = Released();
        for (int i = 0; i < n; ++i) d[inputs[i]] = (v >> i) & 1 ? L1 : L0;
        Emit(d);
      }
      return;
    }
    // Cells side by side: each walks its own inputs' combinations, shifted by its index.
    int widest = 0;
    for (const Cell& c : chip.cells) {
      int k = 0;
      for (const auto& [key, refs] : c.pins)
        k += kInputKeys.count(key) ? static_cast<int>(refs.size()) : 0;
      widest = std::max(widest, k);
    }
    if (widest <= 6 && chip.cells.size() > 1) {
      for (int v = 0; v < (1 << widest); ++v) {
        std::vector<Level> d = Released();
        for (std::size_t ci = 0; ci < chip.cells.size(); ++ci) {
          int bit = 0;
          const int pattern = (v + static_cast<int>(ci) * 5) % (1 << widest);
          for (const auto& [key, refs] : chip.cells[ci].pins) {
            if (!kInputKeys.count(key)) continue;
            for (const PinRef& r : refs) d[r.pin] = (pattern >> bit++) & 1 ? L1 : L0;
          }
        }
        Emit(d);
      }
    }
    // Wide gates: every input once alone at its low level, with all others high.
    for (const Cell& c : chip.cells) {
      const auto& ins = c.Pins("in");
      if (!kGates.count(c.kind) || ins.size() < 4) continue;
      for (std::size_t skip = 0; skip <= ins.size(); ++skip) {
        std::vector<Level> d = RandomInputs();
        for (std::size_t i = 0; i < ins.size(); ++i) d[ins[i].pin] = i == skip ? L0 : L1;
        Emit(d);
      }
    }
    const int extra = static_cast<int>(steps.size()) + 40;
    while (static_cast<int>(steps.size()) < std::min(budget, extra)) Emit(RandomInputs());
  }

  void Sequential(int budget) {
    // Long counting runs: the idle pair repeated through a marker, then compared.
    int longest = 0;
    for (const Cell& c : chip.cells) {
      if (c.kind == "count") longest = std::max(longest, static_cast<int>(c.Pins("q").size()));
    }
    const int runs = longest >= 5 ? 4 : 0;
    // Flip-flops also get new data while every clock stays at its active level: a flip-flop keeps
    // what the edge took, where a latch enabled by that pin (74373 beside 74374) follows.
    const bool flipFlops = std::any_of(chip.cells.begin(), chip.cells.end(),
                                       [](const Cell& c) { return c.kind == "ff"; });
    const int perPair = flipFlops ? 3 : 2;
    while (static_cast<int>(steps.size()) + perPair + runs * 4 < budget) {
      Pair(RandomInputs());
      if (!flipFlops) continue;
      std::vector<Level> held = RandomInputs();
      for (const PinRef& r : clocks) held[r.pin] = r.low ? L0 : L1;
      Emit(held);
    }
    for (int r = 0; r < runs; ++r) {
      const int count = std::min(65535, (1 << (longest - 1)) - 1 - r);
      Pair(IdleInputs());
      TestStep marker;
      marker.repeat = count;
      marker.compare = false;
      steps.push_back(marker);
      const std::vector<Level> a = steps[steps.size() - 3].drive;
      const std::vector<Level> b = steps[steps.size() - 2].drive;
      for (int i = 0; i < count; ++i) {
        eval.Apply(a);
        eval.Apply(b);
      }
      Emit(a);
    }
  }
};

}  // namespace

std::vector<TestStep> MakeTestSequence(const ChipDef& chip, int maxSteps) {
  Generator g(chip);
  if (g.clocks.empty() && std::none_of(chip.cells.begin(), chip.cells.end(), [](const Cell& c) {
        return c.kind == "latch" || c.kind == "seg7" || (c.kind == "dec" && c.Has("le"));
      })) {
    g.Combinational(std::min(maxSteps, 160));
  } else if (g.clocks.empty()) {
    while (static_cast<int>(g.steps.size()) < std::min(maxSteps, 160)) g.Emit(g.RandomInputs());
  } else {
    g.Sequential(std::min(maxSteps, 200));
  }
  return std::move(g.steps);
}

}  // namespace zelvar::sim::logic
