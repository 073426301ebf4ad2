#include "text/status.h"

#include <cerrno>
#include <cstring>

#include "text/number.h"

namespace cbeam {
namespace {

// File reasons name spans and nodes by plain numbers, the analysis by the
// number text of the span selector.
std::string Span(int k) {
    return "第" + std::to_string(k) + "跨的";
}
std::string Record(int k) {
    return "第" + std::to_string(k) + "条记录的";
}
std::string Node(int k) {
    return "结点" + std::to_string(k) + "的";
}

// A .bmf save's refusal offers the file type that holds every beam.
std::string SaveAsJson(const Status& s) {
    return s.need == kForBmfSave ? "，请保存为 JSON 文件" : "";
}

std::string FieldName(const Status& s) {
    switch (s.field) {
        case Field::EIo:
            return "基本抗弯刚度EIo";
        case Field::EI:
            return Span(s.span) + "抗弯刚度";
        case Field::L:
            return Span(s.span) + "长度";
        case Field::A:
            return Span(s.span) + "荷载位置";
        case Field::Q:
            return Span(s.span) + "荷载大小";
        case Field::M:
            return Node(s.span) + "弯矩";
        case Field::Theta:
            return Node(s.span) + "转角";
        case Field::None:
            break;
    }
    return {};
}

std::string SystemText(int error) {
    switch (error) {
        case ENOENT:
            return "文件或文件夹不存在";
        case ENOTDIR:
            return "路径中有一项不是文件夹";
        case EACCES:
        case EPERM:
            return "没有访问权限";
        case EISDIR:
            return "这是一个文件夹";
        case ENOSPC:
        case EDQUOT:
            return "磁盘空间不足";
        case EROFS:
            return "磁盘只读";
        case ENAMETOOLONG:
            return "文件名太长";
        case EIO:
            return "磁盘读写错误";
        default:
            return std::string("文件操作失败（") + std::strerror(error) + "）";
    }
}

std::string Reason(const Status& s) {
    switch (s.code) {
        case Code::Ok:
            return {};
        case Code::UndefinedSpan:
            return "第" + SignNumberText(s.span) + "跨未定义!";
        case Code::NotSolvable:
            return "无法计算，请检查各跨的长度、刚度和荷载！";
        case Code::NotSymmetric:
            return "刚度矩阵不对称！";
        case Code::NotAnalysed:
            return "没有与数据相符的计算结果";
        case Code::NoBeam:
            return "没有完整的连续梁数据";
        case Code::NotANumber:
            return FieldName(s) + "不是有效数值";
        case Code::EIoTooSmall:
            return "基本抗弯刚度EIo的绝对值小于1e-6";
        case Code::LengthNotPositive:
            return Span(s.span) + "长度不大于零";
        case Code::PositionOutside:
            return Span(s.span) + "荷载位置不在0到1之间";
        case Code::NegativeLoad:
            return Span(s.span) + "荷载大小为负数";
        case Code::FileEmpty:
            return "文件是空的";
        case Code::NoFirstRecord:
            return "文件不足一条记录";
        case Code::SpanCountOutside:
            return "跨数" + std::to_string(s.have) + "不在1到" + std::to_string(s.need) + "之间";
        case Code::FileIncomplete:
            return "文件不完整：至少应有" + std::to_string(s.need) + "条记录，只有" +
                   std::to_string(s.have) + "条";
        case Code::NoFileName:
            return "没有文件名";
        case Code::NotGbk:
            return "报告中有无法用GBK编码的字符";
        case Code::SystemError:
            return SystemText(s.sysError);
        case Code::ResultsNotOut:
            return "无法写出计算结果！";
        case Code::ImageTooLarge:
            return "图片太大：";
        case Code::ImageNotSaved:
            return "无法保存图片：";
        case Code::UnknownPictureKind:
            return "图形只能存为 .png 或 .svg 文件";
        case Code::NotJson:
            return "第" + std::to_string(s.have) + "行第" + std::to_string(s.need) +
                   "列：不是有效的JSON文本";
        case Code::NumberOutOfRange:
            return "有超出范围的数值";
        case Code::FileTooLarge:
            return "文件太大，不是连续梁数据";
        case Code::NotAnObject:
            return "应为一个JSON对象";
        case Code::MissingField:
            return "缺少这一项";
        case Code::WrongType:
            return "类型不对";
        case Code::UnknownFormat:
            return "不是 \"cbeam-beam\"";
        case Code::UnknownVersion:
            return "不是本程序能读的版本 1 或 2";
        case Code::UnknownEnd:
            return "应为 \"fixed\" 或 \"pinned\"";
        case Code::UnknownLoadKind:
            return "应为 \"none\"、\"uniform\" 或 \"point\"";
        case Code::NotRegularFile:
            return "不是普通文件（是设备、管道或套接字）";
        case Code::OutputIsInput:
            return "输出文件就是读入的数据文件";
        case Code::ForceToReplace:
            return "文件属于其他用户，替换后所有者会改变（确要替换请加 --force）";
        case Code::OwnerWouldChange:
            return "文件属于其他用户，替换后所有者会改变。仍要替换吗？";
        case Code::NotTxtName:
            return "报告文件名须以 .txt 结尾：";
        case Code::NotPdfName:
            return "计算书文件名须以 .pdf 结尾：";
        case Code::NotBeamName:
            return "数据文件名须以 .bmf 或 .json 结尾：";
        case Code::NotCsvName:
            return "表格文件名须以 .csv 结尾：";
        case Code::NotJsonName:
            return "JSON 文件名须以 .json 结尾：";
        case Code::OutOfMemory:
            return "内存不足";
        // The general beam and its analysis.
        case Code::Mechanism:
            return "结构几何可变，无法计算";
        case Code::NearlyMechanism:
            return "支座约束太弱，结构接近几何可变，无法准确计算";
        case Code::EnvelopeTooLarge:
            return "有弹簧支座时按跨布置的荷载须逐组求解：" + std::to_string(s.have) + "组 × " +
                   std::to_string(s.need) + "跨所需内存太大，无法计算包络";
        case Code::SpanCountOutsideBeam:
            return "跨数" + std::to_string(s.have) + "不在1到" + std::to_string(s.need) + "之间";
        case Code::RigidityNotPositive:
            return s.span == 0 ? std::string("基本抗弯刚度EIo不大于零")
                               : Span(s.span) + "抗弯刚度不大于零";
        case Code::SupportCountWrong:
            return "支座数应为" + std::to_string(s.need) + "个，实有" + std::to_string(s.have) +
                   "个";
        case Code::FreeInside:
            return "结点" + std::to_string(s.span) + "在梁的中间，不能是自由端";
        case Code::SpringNotPositive:
            return Node(s.span) + "弹簧刚度应大于零（转动弹簧可为零）";
        case Code::ValueNotFinite:
            return "不是有效数值";
        case Code::LoadSpanOutside:
            return "没有第" + std::to_string(s.have) + (s.need == 1 ? "个结点" : "跨");
        case Code::LoadOutsideSpan:
            return "荷载位置不在" + Span(s.span) + "0到跨长之间，或起点在终点之后";
        case Code::SectionOutsideSpan:
            return "截面位置不在" + Span(s.span) + "0到跨长之间";
        case Code::SettlementNotHeld:
            return "支座沉降只能加在铰支座或固定支座上，结点" + std::to_string(s.span) + "不是";
        case Code::CaseNameRepeated:
            return "荷载工况名称重复";
        case Code::NotDesignCases:
            return ".bmf 文件只能保存一个永久荷载工况" + SaveAsJson(s);
        case Code::NotDesignSupport:
            return Node(s.span) +
                   "支座 .bmf 文件不能保存（中间支座只能是铰支座，两端只能是铰支或固定）" +
                   SaveAsJson(s);
        case Code::NotDesignLoad:
            if (s.span == 0) return "有支座沉降，.bmf 文件不能保存" + SaveAsJson(s);
            return Span(s.span) +
                   "荷载 .bmf 文件不能保存（只能是从左端起的均布荷载或集中荷载，且不为负）" +
                   SaveAsJson(s);
        // Values beyond what a beam can be, damaged records and JSON limits.
        case Code::ValueOutOfRange:
            return FieldName(s) + "数值超出范围！";
        case Code::NegativeRigidity:
            return Span(s.span) + "抗弯刚度为负数";
        case Code::EIoNotPositive:
            return "基本抗弯刚度EIo为负数";
        case Code::BadLoadKind:
            return Record(s.span) + "荷载类型为" + std::to_string(s.have) + "，应为0、1或2";
        case Code::BadLeftEnd:
            return Record(s.span) + "左端约束为" + std::to_string(s.have) + "，应为0或-1";
        case Code::BadRightEnd:
            return Record(s.span) + "右端约束为" + std::to_string(s.have) + "，应为0或-1";
        case Code::DuplicateKey:
            return "这一项出现了不止一次";
        case Code::TooDeep:
            return "嵌套太深，不是连续梁数据";
        // The windows' typed fields.
        case Code::NumberMissing:
            return "请输入数值";
        case Code::CountNotWhole:
            return "跨数不是整数，按 " + std::to_string(s.have) + " 跨计算";
        // JSON beams of version 2 and the commands on them.
        case Code::UnknownSupportKind:
            return "应为 \"pinned\"、\"fixed\"、\"spring\" 或 \"free\"";
        case Code::UnknownCaseKind:
            return "应为 \"permanent\" 或 \"variable\"";
        case Code::UnknownGeneralLoadKind:
            return "应为 \"uniform\"、\"linear\"、\"point\"、\"moment\" 或 \"settlement\"";
        case Code::CaseNameEmpty:
            return "荷载工况名称为空";
        case Code::NotDesignLoadCount:
            return "第" + std::to_string(s.span) + "跨有多个荷载，.bmf 文件只能保存每跨一个荷载" +
                   SaveAsJson(s);
        case Code::DesignBeamOnly:
            return "这个命令只能处理 .bmf 文件能保存的连续梁（可用 solve 或 table）：";
        case Code::NotFiniteResult:
            return "计算结果不是有限数值，无法输出";
        case Code::CaseNotFound:
            return "没有这个荷载工况";
        // The windows' typed values.
        case Code::SpanCountNotPositive:
            return "跨数必须大于零！";
        case Code::TooManySpans:
            return "跨数不能超过32766！";
        case Code::BaseRigidityZero:
            return "EI不能等于零！";
        case Code::SpanNotGiven:
            return "请输入第" + SignNumberText(s.span) + "跨的值";
        case Code::LoadBelowZero:
            return "荷载必须大于零!";
        case Code::PositionNotInSpan:
            return "a必须在0-1之间!";
        case Code::IncompleteNumber:
            return "“" + s.text + "”不是完整的数值，按 " + s.taken + " 计算";
        case Code::BeamNotSaved:
            return "当前连续梁尚未保存，是否保存？";
        case Code::PsiOutside:
            return "准永久值系数应在0到1之间";
        case Code::CombinationNameEmpty:
            return "荷载组合名称为空";
        case Code::CombinationNameRepeated:
            return "荷载组合名称重复";
        case Code::CombinationCaseUnknown:
            return "没有这个荷载工况，或在同一组合中出现了不止一次";
        case Code::FactorOutside:
            return "分项系数应为两个0到100之间的数值 [γ, γf]";
        case Code::NoCombination:
            return "这个连续梁没有可变荷载工况，也没有给出荷载组合";
        case Code::CombinationNotFound:
            return "没有名为“" + s.text + "”的荷载组合";
        case Code::MovingNameEmpty:
            return "移动荷载名称为空";
        case Code::MovingNameRepeated:
            return "移动荷载名称重复";
        case Code::AxlesOutside:
            return "轴荷载应为1到100个数值（kN）";
        case Code::SpacingWrong:
            return "轴距应比轴数少一个，且不小于零（m）";
        case Code::LaneOutside:
            return "车道均布荷载应不小于零（kN/m）";
        case Code::NotDesignMoving:
            return "有移动荷载，.bmf 文件不能保存" + SaveAsJson(s);
        case Code::TrainNotFound:
            return "没有名为“" + s.text + "”的移动荷载";
    }
    return {};
}

}  // namespace

std::string MessageText(const Status& s) {
    if (s.code == Code::Ok) return {};
    return s.path.empty() ? Reason(s) : s.path + "：" + Reason(s);
}

std::string LeadIn(Command command) {
    switch (command) {
        case Command::Load:
            return "无法读取数据文件！";
        case Command::Save:
            return "保存数据文件失败！";
        case Command::Report:
            return "保存txt文件失败！";
        case Command::Table:
            return "导出CSV文件失败！";
        case Command::Sheet:
            return "计算书无法写出：";
        case Command::Picture:
            return "保存图形失败！";
    }
    return {};
}

}  // namespace cbeam
