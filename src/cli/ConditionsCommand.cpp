#include "cli/ConditionsCommand.h"

#include "cli/ErrorLine.h"
#include "cli/EvalCommand.h"
#include "filter/diagram/CloudDiagram.h"
#include "filter/diagram/ConditionsFile.h"
#include "tree/TQelPigger.h"

#include <ostream>

int RunConditionsCommand(const std::string& fileName, std::ostream& out, std::ostream& err) {
    TCloudDiagram diagram;
    diagram.Start();
    try {
        LoadConditionsFile(diagram, fileName);
    } catch (const EQelFileError& e) {
        WriteErrorLine(err, e.what());
        return 2;
    } catch (const std::exception& e) {
        WriteErrorLine(err, DescribeConditionsError(e, fileName));
        return 1;
    }
    out << diagram.ExpressionText() << '\n';
    out.flush();
    return 0;
}
