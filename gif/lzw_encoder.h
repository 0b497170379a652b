#pragma once
// The LZW encoder and its string table.

#include "gif/gif_encoder.h"

#include <array>
#include <cstdint>
#include <memory>

class TLZWEncoder : public TGIFEncoder {
  public:
    // Kept inside the encoder: the engine has a hash table of the same name.
    // Open-addressed table of (prefix code, pixel) -> code; an entry is key << 12 | code, and an
    // entry whose upper 20 bits are all ones is empty.
    class THashTable {
      public:
        static constexpr int Size = 8009;
        THashTable() { Clear(); }
        void Clear();
        void Insert(std::uint32_t key, int code);
        // The code of key, or -1.
        int Lookup(std::uint32_t key) const;

        static int HashOf(std::uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % Size); }
        // The probe after index i (the step count picks the fallback, see the .cpp).
        static int NextProbe(int i, int step);

      private:
        std::array<std::uint32_t, Size> m_Entries;
    };

  protected:
    void Output(int code) override;
    void Clear() override;
    void DoCompress() override;

  private:
    std::uint16_t m_Prefix = 0;
    std::uint16_t m_FreeCode = 0;
    std::unique_ptr<THashTable> m_HashTable;
};
