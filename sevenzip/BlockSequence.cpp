#include "sevenzip/BlockSequence.h"

#include "sevenzip/ByteRing.h"
#include "sevenzip/FilterStream.h"
#include "sevenzip/FolderDecoder.h"

#include <algorithm>
#include <exception>
#include <new>
#include <system_error>
#include <thread>

namespace sevenzip {
namespace {

// Decoded bytes the second thread may hold ahead of the reader: enough to ride out the reader's
// slow moments (creating a file, a burst of small ones) without the decoder waiting.
constexpr std::size_t kRingSize = 4 * 1024 * 1024;

// Reads the output of one block's coders, checking that it ends exactly at the block's size.
class BlockOutput {
public:
    // `withoutTopFilter`: see FolderReader::Open.
    SRes Open(const Archive& archive, std::uint32_t block, bool withoutTopFilter = false) {
        const Folder& folder = archive.Db().folders[block];
        m_left = folder.UnpackSize();
        m_reader = std::make_unique<FolderReader>();
        return m_reader->Open(archive.Source(), archive.Db(), folder,
                              archive.GetLimits().maxBufferSize, withoutTopFilter);
    }

    SRes Peek(const Byte*& data, std::size_t& size) {
        RINOK(m_reader->Output().Peek(data, size));
        if (size > m_left)
            return SZ_ERROR_DATA;
        if (size == 0 && m_left != 0)
            return SZ_ERROR_DATA;
        return SZ_OK;
    }
    void Consume(std::size_t size) {
        m_reader->Output().Consume(size);
        m_left -= size;
    }

private:
    std::unique_ptr<FolderReader> m_reader;
    std::uint64_t m_left{0}; // bytes of the block not yet consumed
};

class SequentialBlocks final : public BlockSequence {
public:
    explicit SequentialBlocks(const Archive& archive) : m_archive(archive) {}

    SRes Peek(std::uint32_t block, const Byte*& data, std::size_t& size) override {
        data = nullptr;
        size = 0;
        if (block != m_block) {
            m_output.reset(); // the old block's dictionaries go before the new one's come
            m_block = block;
            m_output = std::make_unique<BlockOutput>();
            m_openResult = m_output->Open(m_archive, block);
        }
        RINOK(m_openResult);
        return m_output->Peek(data, size);
    }
    void Consume(std::size_t size) override { m_output->Consume(size); }

private:
    const Archive& m_archive;
    std::uint32_t m_block{kNoBlock};
    std::unique_ptr<BlockOutput> m_output;
    SRes m_openResult{SZ_OK};
};

// One block's bytes as they lie in the ring, handed out in pieces small enough that the ring is
// freed steadily behind the reader.
class RingPart final : public ByteStream {
public:
    RingPart(ByteRing& ring, std::uint64_t size) : m_ring(ring), m_left(size) {}
    ~RingPart() override { m_ring.Consume(m_given); }
    RingPart(const RingPart&) = delete;
    RingPart& operator=(const RingPart&) = delete;

    // Drops what is left of the part.
    SRes Drain() {
        m_ring.Consume(m_given);
        m_given = 0;
        while (m_left != 0) {
            const Byte* data;
            std::size_t size;
            RINOK(m_ring.Peek(data, size));
            if (size == 0)
                return SZ_ERROR_DATA;
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_left));
            m_ring.Consume(n);
            m_left -= n;
        }
        return SZ_OK;
    }

private:
    static constexpr std::size_t kMaxPiece = 256 * 1024;

    SRes NextPiece() override {
        m_ring.Consume(m_given);
        m_given = 0;
        if (m_left == 0) {
            SetPiece(nullptr, 0);
            return SZ_OK;
        }
        const Byte* data;
        std::size_t size;
        RINOK(m_ring.Peek(data, size));
        if (size == 0)
            return SZ_ERROR_DATA;
        m_given = static_cast<std::size_t>(std::min<std::uint64_t>({size, m_left, kMaxPiece}));
        m_left -= m_given;
        SetPiece(data, m_given);
        return SZ_OK;
    }

    ByteRing& m_ring;
    std::uint64_t m_left;   // bytes of the part not yet taken from the ring
    std::size_t m_given{0}; // bytes of the current piece, freed in the ring at the next one
};

class OverlappedBlocks final : public BlockSequence {
public:
    OverlappedBlocks(const Archive& archive, std::uint32_t endBlock)
        : m_archive(archive), m_endBlock(endBlock) {}
    ~OverlappedBlocks() override {
        m_filter.reset();
        m_part.reset();
        if (m_worker.joinable()) {
            m_ring.Leave();
            m_worker.join();
        }
    }
    OverlappedBlocks(const OverlappedBlocks&) = delete;
    OverlappedBlocks& operator=(const OverlappedBlocks&) = delete;

    SRes Peek(std::uint32_t block, const Byte*& data, std::size_t& size) override {
        data = nullptr;
        size = 0;
        if (block >= m_endBlock)
            return SZ_ERROR_PARAM;
        if (m_block == kNoBlock && !m_fallback)
            Start(block);
        if (m_fallback)
            return m_fallback->Peek(block, data, size);
        if (block < m_block)
            return SZ_ERROR_PARAM;
        if (block > m_block) {
            RINOK(MoveTo(block));
            RINOK(m_openResult);
        }
        const std::uint64_t left = BlockSize(block) - m_position;
        if (left == 0)
            return m_ring.WaitForParts(m_partIndex + 1);
        RINOK(Output().Peek(data, size));
        if (size == 0)
            return SZ_ERROR_DATA;
        size = static_cast<std::size_t>(std::min<std::uint64_t>(size, left));
        return SZ_OK;
    }

    void Consume(std::size_t size) override {
        if (m_fallback) {
            m_fallback->Consume(size);
            return;
        }
        Output().Consume(size);
        m_position += size;
    }

private:
    std::uint64_t BlockSize(std::uint32_t block) const {
        return m_archive.Db().folders[block].UnpackSize();
    }

    ByteStream& Output() { return m_filter ? *m_filter : *m_part; }

    // The first block from `block` on that has entries, or m_endBlock.
    std::uint32_t NextDecoded(std::uint32_t block) const {
        const std::vector<Folder>& folders = m_archive.Db().folders;
        while (block < m_endBlock && folders[block].numSubstreams == 0)
            block++;
        return block;
    }

    // Takes up `block`'s part of the ring, with the block's top filter over it: the filter runs
    // on this thread, the decoding thread has enough with the coders below it.
    void Enter(std::uint32_t block) {
        m_block = block;
        m_position = 0;
        m_filter.reset();
        m_part = std::make_unique<RingPart>(m_ring, BlockSize(block));
        m_openResult = SZ_OK;
        const Folder& folder = m_archive.Db().folders[block];
        if (const Coder* filter = TopFilter(folder))
            m_openResult = MakeFilterDecoder(filter->methodId, filter->properties, *m_part,
                                             BlockSize(block), m_filter);
    }

    // Drops the rest of the current block and of any block before `block`.
    SRes MoveTo(std::uint32_t block) {
        while (m_block < block) {
            RINOK(m_part->Drain());
            const std::uint32_t next = NextDecoded(m_block + 1);
            if (next > block)
                return SZ_ERROR_PARAM; // a block without entries is never decoded
            m_partIndex++;
            Enter(next);
        }
        return SZ_OK;
    }

    void Start(std::uint32_t first) {
        std::uint64_t total = 0;
        for (std::uint32_t b = first; b < m_endBlock && total < kRingSize; b++)
            if (m_archive.Db().folders[b].numSubstreams != 0)
                total += BlockSize(b);
        const std::size_t capacity = static_cast<std::size_t>(
            std::max<std::uint64_t>(1, std::min<std::uint64_t>(total, kRingSize)));
        // Without the ring or the thread, decoding on the reader's thread still works.
        if (m_ring.Allocate(capacity) != SZ_OK) {
            m_fallback = std::make_unique<SequentialBlocks>(m_archive);
            return;
        }
        try {
            m_worker = std::thread(&OverlappedBlocks::Run, this, first);
        } catch (const std::system_error&) {
            m_fallback = std::make_unique<SequentialBlocks>(m_archive);
            return;
        }
        m_partIndex = 0;
        Enter(first);
    }

    // The second thread: decodes the blocks from `first` on into the ring.
    void Run(std::uint32_t first) {
        SRes res = SZ_OK;
        try {
            for (std::uint32_t b = NextDecoded(first); b < m_endBlock && res == SZ_OK;
                 b = NextDecoded(b + 1)) {
                bool readerGone = false;
                res = DecodeInto(b, readerGone);
                if (readerGone)
                    return;
            }
        } catch (const std::bad_alloc&) {
            res = SZ_ERROR_MEM;
        } catch (const std::exception&) {
            res = SZ_ERROR_FAIL;
        }
        m_ring.Close(res);
    }

    SRes DecodeInto(std::uint32_t block, bool& readerGone) {
        BlockOutput output;
        RINOK(output.Open(m_archive, block, true));
        for (;;) {
            const Byte* data;
            std::size_t size;
            RINOK(output.Peek(data, size));
            if (size == 0) {
                m_ring.EndPart();
                return SZ_OK;
            }
            if (!m_ring.Write(data, size)) {
                readerGone = true;
                return SZ_OK;
            }
            output.Consume(size);
        }
    }

    const Archive& m_archive;
    const std::uint32_t m_endBlock;
    ByteRing m_ring;
    std::thread m_worker;
    std::unique_ptr<SequentialBlocks> m_fallback; // when the thread could not be had
    std::uint32_t m_block{kNoBlock};              // the block the reader is in
    std::uint64_t m_partIndex{0};                 // how many decoded blocks came before m_block
    std::unique_ptr<RingPart> m_part;             // m_block's bytes in the ring
    std::unique_ptr<ByteStream> m_filter;         // m_block's top filter over m_part, if it has one
    SRes m_openResult{SZ_OK};                     // whether the filter could be made
    std::uint64_t m_position{0};                  // bytes of m_block handed to the reader
};

} // namespace

std::unique_ptr<BlockSequence> BlockSequence::Create(const Archive& archive, bool overlap,
                                                     std::uint32_t endBlock) {
    if (overlap)
        return std::make_unique<OverlappedBlocks>(archive,
                                                  std::min(endBlock, archive.BlockCount()));
    return std::make_unique<SequentialBlocks>(archive);
}

} // namespace sevenzip
