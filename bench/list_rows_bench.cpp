// The list windows' row model with the log viewers' million rows: filling it
// in one insertion, and sorting it by a column as a header click does.
#include <benchmark/benchmark.h>

#include <vector>

#include "ui/list_window/list_row_model.h"

namespace corvane {
namespace {

constexpr int kRows = 1'000'000;

std::vector<ListRow> MillionRows() {
    std::vector<ListRow> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        rows.push_back(ListRow{{QString::number(kRows - i), QStringLiteral("user%1").arg(i % 997),
                                QStringLiteral("WS-%1").arg(i % 31)},
                               QString::number(i + 1), 1, false});
    return rows;
}

void ListRows_AddMillion(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ListRowModel model;
        for (const char* caption : {"LogID", "User", "Computer"}) model.AddColumn(caption);
        std::vector<ListRow> rows = MillionRows();
        state.ResumeTiming();
        model.AddRows(std::move(rows));
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(ListRows_AddMillion)->Unit(benchmark::kMillisecond);

void ListRows_SortMillion(benchmark::State& state) {
    ListRowModel model;
    for (const char* caption : {"LogID", "User", "Computer"}) model.AddColumn(caption);
    model.AddRows(MillionRows());
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        model.sort(1, order);
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(ListRows_SortMillion)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
