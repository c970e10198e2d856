// Data bands: printed once per record of their dataset, at a level from 1 (master) to 6. The six
// level classes add nothing to TvlxDataBand; the band number tells the level.
#pragma once

#include "model/band.h"

#include <memory>

namespace vl {

class TvlxDataSet;
class TvlxUserDataSet;

class TvlxDataBand : public TvlxBand
{
public:
    TvlxDataBand();
    ~TvlxDataBand() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Level of the band, 1 (TvlxMasterData) to 6 (TvlxDataBand6); 0 for a data band class outside
    // the band table.
    int DataLevel() const;

    // ---- Records
    // The dataset iterated, or nullptr.
    TvlxDataSet* DataSet() const;
    void SetDataSet(TvlxDataSet* value);
    // The linked dataset's user name, or the name last assigned when none is linked.
    String DataSetName() const;
    // Stores the name and links the dataset of that user name (none when not found).
    void SetDataSetName(const String& value);
    // With no dataset and RowCount above 0 the band iterates RowCount virtual records.
    int32_t RowCount() const { return FRowCount; }
    void SetRowCount(int32_t value);
    // The built-in dataset whose range ends after RowCount records; made on first use.
    TvlxDataSet* VirtualDataSet();

    // Current page column, 1-based. A value above Columns gives 1; column 1 clears FMaxY. The
    // band's Left becomes (CurColumn - 1) * (ColumnWidth + ColumnGap).
    int32_t CurColumn() const { return FCurColumn; }
    void SetCurColumn(int32_t value);

    // Number of columns the records are laid across (0 or 1: one column).
    int32_t FColumns = 0;
    // Column width and gap between columns, pixels.
    double FColumnWidth = 0;
    double FColumnGap = 0;
    // The footer is printed after every record instead of once after the last.
    bool FFooterAfterEach = false;
    // The header stays on the page of the first record; the footer on the page of the last.
    bool FKeepHeader = false;
    bool FKeepFooter = false;
    // A record with its details (or a whole group) stays on one page.
    bool FKeepTogether = false;
    // A record is printed even when all its detail bands are empty.
    bool FPrintIfDetailEmpty = false;
    // Script procedure run each time a detail band's records are checked for the master record.
    String FOnMasterDetail;

    // The lowest bottom reached in the current row of columns, pixels.
    double FMaxY = 0;

private:
    ComponentLink<TvlxDataSet> FDataSet;
    String FDataSetName;
    int32_t FRowCount = 0;
    std::unique_ptr<TvlxUserDataSet> FVirtualDataSet;
    int32_t FCurColumn = 1;
};

class TvlxMasterData : public TvlxDataBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

class TvlxDetailData : public TvlxDataBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

class TvlxSubdetailData : public TvlxDataBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

class TvlxDataBand4 : public TvlxDataBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

class TvlxDataBand5 : public TvlxDataBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

class TvlxDataBand6 : public TvlxDataBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

} // namespace vl
