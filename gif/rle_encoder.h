#pragma once
// A run-length encoder that writes a code stream every GIF decoder reads: only the clear code,
// single pixel values and table codes whose contents it predicts (runs of one pixel value);
// it never keeps a string table of its own.

#include "gif/gif_encoder.h"

class TRLEEncoder : public TGIFEncoder {
  protected:
    void Clear() override;
    void DoCompress() override;

  private:
    void OutputPlain(int code);
    void OpenTable() { m_ClearThreshold = m_MaxCodes; }
    void CloseTable();
    void Flush(int count);
    void FlushFromClear(int count);
    void FlushClearOrRepeat(int count);
    void FlushWithTable(int count);

    int m_MaxCodes = 0;
    int m_BumpStart = 0;
    int m_ClearStart = 0;
    int m_RunPixel = -1;
    int m_TableMax = 0;
    int m_TablePixel = 0;
    int m_OutCount = 0;
    int m_ClearThreshold = 0;
    int m_BumpThreshold = 0;
};

// Codes needed for count pixels of one value when every table run up to repeats long can be
// used, each run once (the triangle numbers).
int TriangleCost(int count, int repeats);
