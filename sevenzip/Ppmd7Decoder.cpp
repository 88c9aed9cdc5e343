// PPMd variant H (Dmitry Shkarin's model) with 7z's range coder. The model lives in one memory
// block addressed by 32-bit offsets from its base (0 meaning none): the text area grows up from
// the start, contexts and symbol tables are carved out of 12-byte units from the end, and a
// small allocator with free lists by unit count recycles them. When the block is full the model
// starts over, exactly as the encoder's does, so both stay in step.
#include "sevenzip/Ppmd7Decoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace sevenzip {
namespace {

constexpr unsigned kMinOrder = 2;
constexpr unsigned kMaxOrder = 64;
constexpr std::uint32_t kMinMemory = 1u << 11;
constexpr std::uint32_t kMaxMemory = 0xFFFFFFFFu - 12 * 3;
constexpr unsigned kUnitSize = 12;
constexpr unsigned kNumIndexes = 4 + 4 + 4 + 26;
constexpr unsigned kIntBits = 7;
constexpr unsigned kPeriodBits = 7;
constexpr unsigned kBinScale = 1u << (kIntBits + kPeriodBits);
constexpr unsigned kMaxFreq = 124;
constexpr std::uint32_t kTopValue = 1u << 24;

const std::uint16_t kInitBinEsc[8] = {0x3CDD, 0x1F3F, 0x59BF, 0x48F3,
                                      0x64A1, 0x5ABC, 0x6632, 0x6051};
const Byte kExpEscape[16] = {25, 14, 9, 7, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 2};

struct State {
    Byte symbol;
    Byte freq;
    std::uint16_t successorLow;
    std::uint16_t successorHigh;
};

struct Context {
    std::uint16_t numStats;
    std::uint16_t summFreq;
    std::uint32_t stats;
    std::uint32_t suffix;
};

struct See {
    std::uint16_t summ;
    Byte shift;
    Byte count;
};

struct Node {
    std::uint16_t stamp;
    std::uint16_t nu;
    std::uint32_t next;
    std::uint32_t prev;
};

static_assert(sizeof(State) == 6 && sizeof(Context) == 12 && sizeof(Node) == 12, "layout");

std::uint32_t Successor(const State* s) {
    return s->successorLow | static_cast<std::uint32_t>(s->successorHigh) << 16;
}

void SetSuccessor(State* s, std::uint32_t v) {
    s->successorLow = static_cast<std::uint16_t>(v);
    s->successorHigh = static_cast<std::uint16_t>(v >> 16);
}

void SwapStates(State* a, State* b) {
    State t = *a;
    *a = *b;
    *b = t;
}

class RangeDecoder {
public:
    explicit RangeDecoder(ByteStream& in) : m_in(in) {}

    bool Init() {
        Byte b = ReadByte();
        for (int i = 0; i < 4; i++)
            m_code = (m_code << 8) | ReadByte();
        return b == 0 && m_code < 0xFFFFFFFF;
    }
    std::uint32_t GetThreshold(std::uint32_t total) { return m_code / (m_range /= total); }
    void Decode(std::uint32_t start, std::uint32_t size) {
        m_code -= start * m_range;
        m_range *= size;
        Normalize();
    }
    unsigned DecodeBit(std::uint32_t size0, std::uint32_t total) {
        std::uint32_t bound = (m_range / total) * size0;
        unsigned symbol;
        if (m_code < bound) {
            symbol = 0;
            m_range = bound;
        } else {
            symbol = 1;
            m_code -= bound;
            m_range -= bound;
        }
        Normalize();
        return symbol;
    }
    bool Failed() const { return m_failed; }

private:
    Byte ReadByte() {
        Byte b = 0;
        if (m_in.ReadByte(b) != SZ_OK)
            m_failed = true;
        return b;
    }
    void Normalize() {
        if (m_range < kTopValue) {
            m_code = (m_code << 8) | ReadByte();
            m_range <<= 8;
            if (m_range < kTopValue) {
                m_code = (m_code << 8) | ReadByte();
                m_range <<= 8;
            }
        }
    }

    ByteStream& m_in;
    std::uint32_t m_range{0xFFFFFFFF};
    std::uint32_t m_code{0};
    bool m_failed{false};
};

class Model {
public:
    SRes Allocate(std::uint32_t size) {
        m_alignOffset = 4 - (size & 3);
        m_memory.reset(new (std::nothrow) Byte[m_alignOffset + size + kUnitSize]);
        if (!m_memory)
            return SZ_ERROR_MEM;
        m_base = m_memory.get();
        m_size = size;
        return SZ_OK;
    }

    void Init(unsigned maxOrder) {
        unsigned i, k, m;
        for (i = 0, k = 0; i < kNumIndexes; i++) {
            unsigned step = (i >= 12 ? 4 : (i >> 2) + 1);
            do {
                m_units2Indx[k++] = static_cast<Byte>(i);
            } while (--step);
            m_indx2Units[i] = static_cast<Byte>(k);
        }
        m_ns2BsIndx[0] = 0 << 1;
        m_ns2BsIndx[1] = 1 << 1;
        std::memset(m_ns2BsIndx + 2, 2 << 1, 9);
        std::memset(m_ns2BsIndx + 11, 3 << 1, 256 - 11);
        for (i = 0; i < 3; i++)
            m_ns2Indx[i] = static_cast<Byte>(i);
        for (m = i, k = 1; i < 256; i++) {
            m_ns2Indx[i] = static_cast<Byte>(m);
            if (--k == 0)
                k = (++m) - 2;
        }
        std::memset(m_hb2Flag, 0, 0x40);
        std::memset(m_hb2Flag + 0x40, 8, 0x100 - 0x40);
        m_dummySee.shift = kPeriodBits;
        m_dummySee.summ = 0;
        m_dummySee.count = 64;
        m_maxOrder = maxOrder;
        RestartModel();
    }

    int DecodeSymbol(RangeDecoder& rc);

private:
    Byte* Ptr(std::uint32_t ref) const { return m_base + ref; }
    std::uint32_t Ref(const void* ptr) const {
        return static_cast<std::uint32_t>(static_cast<const Byte*>(ptr) - m_base);
    }
    Context* Ctx(std::uint32_t ref) const { return reinterpret_cast<Context*>(Ptr(ref)); }
    State* Stats(const Context* c) const { return reinterpret_cast<State*>(Ptr(c->stats)); }
    static State* OneState(Context* c) { return reinterpret_cast<State*>(&c->summFreq); }
    Context* Suffix(const Context* c) const { return Ctx(c->suffix); }
    Node* NodeAt(std::uint32_t ref) const { return reinterpret_cast<Node*>(Ptr(ref)); }

    unsigned I2U(unsigned indx) const { return m_indx2Units[indx]; }
    unsigned U2I(unsigned nu) const { return m_units2Indx[nu - 1]; }
    static std::uint32_t U2B(unsigned nu) { return nu * kUnitSize; }

    void InsertNode(void* node, unsigned indx) {
        *static_cast<std::uint32_t*>(node) = m_freeList[indx];
        m_freeList[indx] = Ref(node);
    }
    void* RemoveNode(unsigned indx) {
        std::uint32_t* node = reinterpret_cast<std::uint32_t*>(Ptr(m_freeList[indx]));
        m_freeList[indx] = *node;
        return node;
    }
    void SplitBlock(void* ptr, unsigned oldIndx, unsigned newIndx) {
        unsigned i, nu = I2U(oldIndx) - I2U(newIndx);
        Byte* p = static_cast<Byte*>(ptr) + U2B(I2U(newIndx));
        if (I2U(i = U2I(nu)) != nu) {
            unsigned k = I2U(--i);
            InsertNode(p + U2B(k), nu - k - 1);
        }
        InsertNode(p, i);
    }
    void GlueFreeBlocks();
    void* AllocUnitsRare(unsigned indx);
    void* AllocUnits(unsigned indx) {
        if (m_freeList[indx] != 0)
            return RemoveNode(indx);
        std::uint32_t numBytes = U2B(I2U(indx));
        if (numBytes <= static_cast<std::uint32_t>(m_hiUnit - m_loUnit)) {
            void* r = m_loUnit;
            m_loUnit += numBytes;
            return r;
        }
        return AllocUnitsRare(indx);
    }
    void* ShrinkUnits(void* oldPtr, unsigned oldNu, unsigned newNu) {
        unsigned i0 = U2I(oldNu);
        unsigned i1 = U2I(newNu);
        if (i0 == i1)
            return oldPtr;
        if (m_freeList[i1] != 0) {
            void* ptr = RemoveNode(i1);
            std::memcpy(ptr, oldPtr, U2B(newNu));
            InsertNode(oldPtr, i0);
            return ptr;
        }
        SplitBlock(oldPtr, i0, i1);
        return oldPtr;
    }

    void RestartModel();
    Context* CreateSuccessors(bool skip);
    void UpdateModel();
    void Rescale();
    void NextContext() {
        Context* c = Ctx(Successor(m_foundState));
        if (m_orderFall == 0 && reinterpret_cast<Byte*>(c) > m_text)
            m_minContext = m_maxContext = c;
        else
            UpdateModel();
    }
    void Update1() {
        State* s = m_foundState;
        s->freq += 4;
        m_minContext->summFreq += 4;
        if (s[0].freq > s[-1].freq) {
            SwapStates(&s[0], &s[-1]);
            m_foundState = --s;
            if (s->freq > kMaxFreq)
                Rescale();
        }
        NextContext();
    }
    void Update1_0() {
        m_prevSuccess = (2u * m_foundState->freq > m_minContext->summFreq);
        m_runLength += static_cast<int>(m_prevSuccess);
        m_minContext->summFreq += 4;
        if ((m_foundState->freq += 4) > kMaxFreq)
            Rescale();
        NextContext();
    }
    void UpdateBin() {
        m_foundState->freq =
            static_cast<Byte>(m_foundState->freq + (m_foundState->freq < 128 ? 1 : 0));
        m_prevSuccess = 1;
        m_runLength++;
        NextContext();
    }
    void Update2() {
        m_minContext->summFreq += 4;
        if ((m_foundState->freq += 4) > kMaxFreq)
            Rescale();
        m_runLength = m_initRl;
        UpdateModel();
    }
    See* MakeEscFreq(unsigned numMasked, std::uint32_t* escFreq);
    static void SeeUpdate(See* see) {
        if (see->shift < kPeriodBits && --see->count == 0) {
            see->summ = static_cast<std::uint16_t>(see->summ << 1);
            see->count = static_cast<Byte>(3 << see->shift++);
        }
    }

    std::unique_ptr<Byte[]> m_memory;
    Byte* m_base{nullptr};
    std::uint32_t m_size{0};
    std::uint32_t m_alignOffset{0};

    Context* m_minContext{nullptr};
    Context* m_maxContext{nullptr};
    State* m_foundState{nullptr};
    unsigned m_orderFall{0}, m_initEsc{0}, m_prevSuccess{0}, m_maxOrder{0}, m_hiBitsFlag{0};
    int m_runLength{0}, m_initRl{0};
    Byte* m_text{nullptr};
    Byte* m_unitsStart{nullptr};
    Byte* m_loUnit{nullptr};
    Byte* m_hiUnit{nullptr};
    std::uint32_t m_glueCount{0};
    std::uint32_t m_freeList[kNumIndexes]{};
    Byte m_indx2Units[kNumIndexes]{};
    Byte m_units2Indx[128]{};
    Byte m_ns2Indx[256]{}, m_ns2BsIndx[256]{}, m_hb2Flag[256]{};
    See m_dummySee{}, m_see[25][16]{};
    std::uint16_t m_binSumm[128][64]{};
};

void Model::GlueFreeBlocks() {
    const std::uint32_t head = m_alignOffset + m_size;
    std::uint32_t n = head;
    m_glueCount = 255;
    for (unsigned i = 0; i < kNumIndexes; i++) {
        std::uint16_t nu = static_cast<std::uint16_t>(I2U(i));
        std::uint32_t next = m_freeList[i];
        m_freeList[i] = 0;
        while (next != 0) {
            Node* node = NodeAt(next);
            node->next = n;
            n = NodeAt(n)->prev = next;
            next = *reinterpret_cast<const std::uint32_t*>(node);
            node->stamp = 0;
            node->nu = nu;
        }
    }
    NodeAt(head)->stamp = 1;
    NodeAt(head)->next = n;
    NodeAt(n)->prev = head;
    if (m_loUnit != m_hiUnit)
        reinterpret_cast<Node*>(m_loUnit)->stamp = 1;

    while (n != head) {
        Node* node = NodeAt(n);
        std::uint32_t nu = node->nu;
        for (;;) {
            Node* node2 = NodeAt(n) + nu;
            nu += node2->nu;
            if (node2->stamp != 0 || nu >= 0x10000)
                break;
            NodeAt(node2->prev)->next = node2->next;
            NodeAt(node2->next)->prev = node2->prev;
            node->nu = static_cast<std::uint16_t>(nu);
        }
        n = node->next;
    }

    for (n = NodeAt(head)->next; n != head;) {
        Node* node = NodeAt(n);
        unsigned nu;
        std::uint32_t next = node->next;
        for (nu = node->nu; nu > 128; nu -= 128, node += 128)
            InsertNode(node, kNumIndexes - 1);
        unsigned i;
        if (I2U(i = U2I(nu)) != nu) {
            unsigned k = I2U(--i);
            InsertNode(node + k, nu - k - 1);
        }
        InsertNode(node, i);
        n = next;
    }
}

void* Model::AllocUnitsRare(unsigned indx) {
    if (m_glueCount == 0) {
        GlueFreeBlocks();
        if (m_freeList[indx] != 0)
            return RemoveNode(indx);
    }
    unsigned i = indx;
    do {
        if (++i == kNumIndexes) {
            std::uint32_t numBytes = U2B(I2U(indx));
            m_glueCount--;
            return static_cast<std::uint32_t>(m_unitsStart - m_text) > numBytes
                       ? (m_unitsStart -= numBytes)
                       : nullptr;
        }
    } while (m_freeList[i] == 0);
    void* r = RemoveNode(i);
    SplitBlock(r, i, indx);
    return r;
}

void Model::RestartModel() {
    std::memset(m_freeList, 0, sizeof m_freeList);
    m_text = m_base + m_alignOffset;
    m_hiUnit = m_text + m_size;
    m_loUnit = m_unitsStart = m_hiUnit - m_size / 8 / kUnitSize * 7 * kUnitSize;
    m_glueCount = 0;
    m_orderFall = m_maxOrder;
    m_runLength = m_initRl = -static_cast<int>((m_maxOrder < 12) ? m_maxOrder : 12) - 1;
    m_prevSuccess = 0;
    m_hiUnit -= kUnitSize;
    m_minContext = m_maxContext = reinterpret_cast<Context*>(m_hiUnit);
    m_minContext->suffix = 0;
    m_minContext->numStats = 256;
    m_minContext->summFreq = 256 + 1;
    m_foundState = reinterpret_cast<State*>(m_loUnit);
    m_loUnit += U2B(256 / 2);
    m_minContext->stats = Ref(m_foundState);
    for (unsigned i = 0; i < 256; i++) {
        State* s = &m_foundState[i];
        s->symbol = static_cast<Byte>(i);
        s->freq = 1;
        SetSuccessor(s, 0);
    }
    for (unsigned i = 0; i < 128; i++)
        for (unsigned k = 0; k < 8; k++) {
            std::uint16_t* dest = m_binSumm[i] + k;
            std::uint16_t val = static_cast<std::uint16_t>(kBinScale - kInitBinEsc[k] / (i + 2));
            for (unsigned m = 0; m < 64; m += 8)
                dest[m] = val;
        }
    for (unsigned i = 0; i < 25; i++)
        for (unsigned k = 0; k < 16; k++) {
            See* see = &m_see[i][k];
            see->shift = kPeriodBits - 4;
            see->summ = static_cast<std::uint16_t>((5 * i + 10) << see->shift);
            see->count = 4;
        }
}

Context* Model::CreateSuccessors(bool skip) {
    State upState;
    Context* c = m_minContext;
    std::uint32_t upBranch = Successor(m_foundState);
    State* ps[kMaxOrder];
    unsigned numPs = 0;
    if (!skip)
        ps[numPs++] = m_foundState;
    while (c->suffix) {
        State* s;
        c = Suffix(c);
        if (c->numStats != 1) {
            for (s = Stats(c); s->symbol != m_foundState->symbol; s++) {
            }
        } else {
            s = OneState(c);
        }
        std::uint32_t successor = Successor(s);
        if (successor != upBranch) {
            c = Ctx(successor);
            if (numPs == 0)
                return c;
            break;
        }
        ps[numPs++] = s;
    }
    upState.symbol = *Ptr(upBranch);
    SetSuccessor(&upState, upBranch + 1);
    if (c->numStats == 1) {
        upState.freq = OneState(c)->freq;
    } else {
        State* s;
        for (s = Stats(c); s->symbol != upState.symbol; s++) {
        }
        std::uint32_t cf = s->freq - 1u;
        std::uint32_t s0 = c->summFreq - c->numStats - cf;
        upState.freq = static_cast<Byte>(
            1 + ((2 * cf <= s0) ? (5 * cf > s0) : ((2 * cf + 3 * s0 - 1) / (2 * s0))));
    }
    do {
        Context* c1;
        if (m_hiUnit != m_loUnit) {
            c1 = reinterpret_cast<Context*>(m_hiUnit -= kUnitSize);
        } else if (m_freeList[0] != 0) {
            c1 = static_cast<Context*>(RemoveNode(0));
        } else {
            c1 = static_cast<Context*>(AllocUnitsRare(0));
            if (!c1)
                return nullptr;
        }
        c1->numStats = 1;
        *OneState(c1) = upState;
        c1->suffix = Ref(c);
        SetSuccessor(ps[--numPs], Ref(c1));
        c = c1;
    } while (numPs != 0);
    return c;
}

void Model::UpdateModel() {
    std::uint32_t successor, fSuccessor = Successor(m_foundState);
    Context* c;
    unsigned s0, ns;
    if (m_foundState->freq < kMaxFreq / 4 && m_minContext->suffix != 0) {
        c = Suffix(m_minContext);
        if (c->numStats == 1) {
            State* s = OneState(c);
            if (s->freq < 32)
                s->freq++;
        } else {
            State* s = Stats(c);
            if (s->symbol != m_foundState->symbol) {
                do {
                    s++;
                } while (s->symbol != m_foundState->symbol);
                if (s[0].freq >= s[-1].freq) {
                    SwapStates(&s[0], &s[-1]);
                    s--;
                }
            }
            if (s->freq < kMaxFreq - 9) {
                s->freq += 2;
                c->summFreq += 2;
            }
        }
    }
    if (m_orderFall == 0) {
        m_minContext = m_maxContext = CreateSuccessors(true);
        if (m_minContext == nullptr) {
            RestartModel();
            return;
        }
        SetSuccessor(m_foundState, Ref(m_minContext));
        return;
    }
    *m_text++ = m_foundState->symbol;
    successor = Ref(m_text);
    if (m_text >= m_unitsStart) {
        RestartModel();
        return;
    }
    if (fSuccessor) {
        if (fSuccessor <= successor) {
            Context* cs = CreateSuccessors(false);
            if (cs == nullptr) {
                RestartModel();
                return;
            }
            fSuccessor = Ref(cs);
        }
        if (--m_orderFall == 0) {
            successor = fSuccessor;
            m_text -= (m_maxContext != m_minContext);
        }
    } else {
        SetSuccessor(m_foundState, successor);
        fSuccessor = Ref(m_minContext);
    }
    ns = m_minContext->numStats;
    s0 = m_minContext->summFreq - ns - (m_foundState->freq - 1u);
    for (c = m_maxContext; c != m_minContext; c = Suffix(c)) {
        unsigned ns1;
        std::uint32_t cf, sf;
        if ((ns1 = c->numStats) != 1) {
            if ((ns1 & 1) == 0) {
                unsigned oldNu = ns1 >> 1;
                unsigned i = U2I(oldNu);
                if (i != U2I(oldNu + 1)) {
                    void* ptr = AllocUnits(i + 1);
                    if (!ptr) {
                        RestartModel();
                        return;
                    }
                    void* oldPtr = Stats(c);
                    std::memcpy(ptr, oldPtr, U2B(oldNu));
                    InsertNode(oldPtr, i);
                    c->stats = Ref(ptr);
                }
            }
            c->summFreq = static_cast<std::uint16_t>(
                c->summFreq + (2 * ns1 < ns) + 2 * ((4 * ns1 <= ns) & (c->summFreq <= 8 * ns1)));
        } else {
            State* s = static_cast<State*>(AllocUnits(0));
            if (!s) {
                RestartModel();
                return;
            }
            *s = *OneState(c);
            c->stats = Ref(s);
            if (s->freq < kMaxFreq / 4 - 1)
                s->freq = static_cast<Byte>(s->freq << 1);
            else
                s->freq = kMaxFreq - 4;
            c->summFreq = static_cast<std::uint16_t>(s->freq + m_initEsc + (ns > 3));
        }
        cf = 2 * static_cast<std::uint32_t>(m_foundState->freq) * (c->summFreq + 6u);
        sf = static_cast<std::uint32_t>(s0) + c->summFreq;
        if (cf < 6 * sf) {
            cf = 1 + (cf > sf) + (cf >= 4 * sf);
            c->summFreq = static_cast<std::uint16_t>(c->summFreq + 3);
        } else {
            cf = 4 + (cf >= 9 * sf) + (cf >= 12 * sf) + (cf >= 15 * sf);
            c->summFreq = static_cast<std::uint16_t>(c->summFreq + cf);
        }
        State* s = Stats(c) + ns1;
        SetSuccessor(s, successor);
        s->symbol = m_foundState->symbol;
        s->freq = static_cast<Byte>(cf);
        c->numStats = static_cast<std::uint16_t>(ns1 + 1);
    }
    m_maxContext = m_minContext = Ctx(fSuccessor);
}

void Model::Rescale() {
    unsigned i, adder, sumFreq, escFreq;
    State* stats = Stats(m_minContext);
    State* s = m_foundState;
    {
        State tmp = *s;
        for (; s != stats; s--)
            s[0] = s[-1];
        *s = tmp;
    }
    escFreq = m_minContext->summFreq - s->freq;
    s->freq += 4;
    adder = (m_orderFall != 0);
    s->freq = static_cast<Byte>((s->freq + adder) >> 1);
    sumFreq = s->freq;
    i = m_minContext->numStats - 1u;
    do {
        escFreq -= (++s)->freq;
        s->freq = static_cast<Byte>((s->freq + adder) >> 1);
        sumFreq += s->freq;
        if (s[0].freq > s[-1].freq) {
            State* s1 = s;
            State tmp = *s1;
            do
                s1[0] = s1[-1];
            while (--s1 != stats && tmp.freq > s1[-1].freq);
            *s1 = tmp;
        }
    } while (--i);
    if (s->freq == 0) {
        unsigned numStats = m_minContext->numStats;
        do {
            i++;
        } while ((--s)->freq == 0);
        escFreq += i;
        m_minContext->numStats = static_cast<std::uint16_t>(m_minContext->numStats - i);
        if (m_minContext->numStats == 1) {
            State tmp = *stats;
            do {
                tmp.freq = static_cast<Byte>(tmp.freq - (tmp.freq >> 1));
                escFreq >>= 1;
            } while (escFreq > 1);
            InsertNode(stats, U2I((numStats + 1) >> 1));
            *(m_foundState = OneState(m_minContext)) = tmp;
            return;
        }
        unsigned n0 = (numStats + 1) >> 1;
        unsigned n1 = (m_minContext->numStats + 1u) >> 1;
        if (n0 != n1)
            m_minContext->stats = Ref(ShrinkUnits(stats, n0, n1));
    }
    m_minContext->summFreq = static_cast<std::uint16_t>(sumFreq + escFreq - (escFreq >> 1));
    m_foundState = Stats(m_minContext);
}

See* Model::MakeEscFreq(unsigned numMasked, std::uint32_t* escFreq) {
    See* see;
    unsigned nonMasked = m_minContext->numStats - numMasked;
    if (m_minContext->numStats != 256) {
        see = m_see[m_ns2Indx[nonMasked - 1]] +
              (nonMasked <
               static_cast<unsigned>(Suffix(m_minContext)->numStats) - m_minContext->numStats) +
              2 * (m_minContext->summFreq < 11 * m_minContext->numStats) +
              4 * (numMasked > nonMasked) + m_hiBitsFlag;
        unsigned r = (see->summ >> see->shift);
        see->summ = static_cast<std::uint16_t>(see->summ - r);
        *escFreq = r + (r == 0);
    } else {
        see = &m_dummySee;
        *escFreq = 1;
    }
    return see;
}

int Model::DecodeSymbol(RangeDecoder& rc) {
    Byte charMask[256];
    if (m_minContext->numStats != 1) {
        State* s = Stats(m_minContext);
        std::uint32_t count = rc.GetThreshold(m_minContext->summFreq);
        std::uint32_t hiCnt = s->freq;
        if (count < hiCnt) {
            rc.Decode(0, s->freq);
            m_foundState = s;
            Byte symbol = s->symbol;
            Update1_0();
            return symbol;
        }
        m_prevSuccess = 0;
        unsigned i = m_minContext->numStats - 1u;
        do {
            if ((hiCnt += (++s)->freq) > count) {
                rc.Decode(hiCnt - s->freq, s->freq);
                m_foundState = s;
                Byte symbol = s->symbol;
                Update1();
                return symbol;
            }
        } while (--i);
        if (count >= m_minContext->summFreq)
            return -2;
        m_hiBitsFlag = m_hb2Flag[m_foundState->symbol];
        rc.Decode(hiCnt, m_minContext->summFreq - hiCnt);
        std::memset(charMask, 0xFF, sizeof charMask);
        charMask[s->symbol] = 0;
        i = m_minContext->numStats - 1u;
        do {
            charMask[(--s)->symbol] = 0;
        } while (--i);
    } else {
        State* one = OneState(m_minContext);
        std::uint16_t* prob =
            &m_binSumm[one->freq - 1][m_prevSuccess +
                                      m_ns2BsIndx[Suffix(m_minContext)->numStats - 1] +
                                      (m_hiBitsFlag = m_hb2Flag[m_foundState->symbol]) +
                                      2 * m_hb2Flag[one->symbol] + ((m_runLength >> 26) & 0x20)];
        if (rc.DecodeBit(*prob, kBinScale) == 0) {
            *prob = static_cast<std::uint16_t>(*prob + (1 << kIntBits) - ((*prob + 32) >> 7));
            m_foundState = one;
            Byte symbol = one->symbol;
            UpdateBin();
            return symbol;
        }
        *prob = static_cast<std::uint16_t>(*prob - ((*prob + 32) >> 7));
        m_initEsc = kExpEscape[*prob >> 10];
        std::memset(charMask, 0xFF, sizeof charMask);
        charMask[one->symbol] = 0;
        m_prevSuccess = 0;
    }
    for (;;) {
        State* ps[256];
        std::uint32_t freqSum, count, hiCnt;
        unsigned i, num, numMasked = m_minContext->numStats;
        do {
            m_orderFall++;
            if (!m_minContext->suffix)
                return -1;
            m_minContext = Suffix(m_minContext);
        } while (m_minContext->numStats == numMasked);
        hiCnt = 0;
        State* s = Stats(m_minContext);
        i = 0;
        num = m_minContext->numStats - numMasked;
        do {
            if (charMask[s->symbol] != 0) {
                hiCnt += s->freq;
                ps[i++] = s;
            }
            s++;
        } while (i != num);
        See* see = MakeEscFreq(numMasked, &freqSum);
        freqSum += hiCnt;
        count = rc.GetThreshold(freqSum);
        if (count < hiCnt) {
            State** pps = ps;
            for (hiCnt = 0; (hiCnt += (*pps)->freq) <= count; pps++) {
            }
            s = *pps;
            rc.Decode(hiCnt - s->freq, s->freq);
            SeeUpdate(see);
            m_foundState = s;
            Byte symbol = s->symbol;
            Update2();
            return symbol;
        }
        if (count >= freqSum)
            return -2;
        rc.Decode(hiCnt, freqSum - hiCnt);
        see->summ = static_cast<std::uint16_t>(see->summ + freqSum);
        do {
            charMask[ps[--i]->symbol] = 0;
        } while (i != 0);
    }
}

// Gives the decoded symbols a buffer at a time; the model's memory is the large buffer.
class Ppmd7Decoder final : public ByteStream {
public:
    Ppmd7Decoder(ByteStream& input, std::uint64_t size) : m_rc(input), m_left(size) {}

    SRes Init(unsigned order, std::uint32_t memory) {
        RINOK(m_model.Allocate(memory));
        m_model.Init(order);
        return SZ_OK;
    }

private:
    static constexpr std::size_t kBufferSize = 64 * 1024;

    SRes NextPiece() override {
        if (!m_started) {
            if (!m_rc.Init())
                return SZ_ERROR_DATA;
            m_started = true;
        }
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, m_left));
        for (std::size_t i = 0; i < n; i++) {
            int symbol = m_model.DecodeSymbol(m_rc);
            if (symbol < 0 || m_rc.Failed())
                return SZ_ERROR_DATA;
            m_buffer[i] = static_cast<Byte>(symbol);
        }
        m_left -= n;
        SetPiece(m_buffer, n);
        return SZ_OK;
    }

    RangeDecoder m_rc;
    Model m_model;
    std::uint64_t m_left; // symbols not yet decoded
    bool m_started{false};
    Byte m_buffer[kBufferSize];
};

} // namespace

SRes MakePpmd7Decoder(const std::vector<Byte>& properties, ByteStream& input, std::uint64_t size,
                      std::uint64_t maxMemory, std::unique_ptr<ByteStream>& decoder) {
    if (properties.size() != 5)
        return SZ_ERROR_UNSUPPORTED;
    const unsigned order = properties[0];
    const std::uint32_t memory = static_cast<std::uint32_t>(properties[1]) |
                                 static_cast<std::uint32_t>(properties[2]) << 8 |
                                 static_cast<std::uint32_t>(properties[3]) << 16 |
                                 static_cast<std::uint32_t>(properties[4]) << 24;
    if (order < kMinOrder || order > kMaxOrder || memory < kMinMemory || memory > kMaxMemory)
        return SZ_ERROR_UNSUPPORTED;
    if (memory > maxMemory)
        return SZ_ERROR_MEM;
    std::unique_ptr<Ppmd7Decoder> ppmd(new (std::nothrow) Ppmd7Decoder(input, size));
    if (!ppmd)
        return SZ_ERROR_MEM;
    RINOK(ppmd->Init(order, memory));
    decoder = std::move(ppmd);
    return SZ_OK;
}

} // namespace sevenzip
