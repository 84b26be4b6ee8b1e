#include "NGdiobj.h"

NGdiobj::NGdiobj(const NGdiobj& other) : record(other.record) { AddRef(); }

NGdiobj& NGdiobj::operator=(const NGdiobj& other) {
    if (record != other.record) {
        Release();
        record = other.record;
        AddRef();
    }
    return *this;
}

NGdiobj::~NGdiobj() { Release(); }

void NGdiobj::Attach(HGDIOBJ handle) {
    Release();
    record = new NGdiobjHelper{handle, 1};
}

void NGdiobj::AddRef() {
    if (record)
        ++record->references;
}

void NGdiobj::Release() {
    if (!record)
        return;
    if (--record->references <= 0) {
        if (record->handle)
            DeleteObject(record->handle);
        delete record;
    }
    record = nullptr;
}

NFont::NFont(int height) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    LOGFONTA font = metrics.lfMenuFont;
    if (height != 0) {
        font.lfHeight = height;
        font.lfWidth = 0;
    }
    Attach(CreateFontIndirectA(&font));
}

NSolidBrush::NSolidBrush(COLORREF colour) { Attach(CreateSolidBrush(colour)); }
