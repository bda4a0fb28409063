#pragma once

// Everything a host needs: the base library, the records and their field
// lists, the kinds, the readers, the writer, the record check and the format
// reference.

#include <KivArray.h>
#include <KivAssert.h>
#include <KivFile.h>
#include <KivMemoryControllerController.h>
#include <KivString.h>

#include "KivNorvikData.h"
#include "NorvikGlobalData.h"

#include "KivBL1Data.h"
#include "KivBL2Data.h"
#include "KivBL3Data.h"
#include "KivBL4Data.h"
#include "KivBL5Data.h"

#include "KivNorvikFields.h"
#include "KivBL1Fields.h"
#include "KivBL2Fields.h"
#include "KivBL3Fields.h"
#include "KivBL4Fields.h"
#include "KivBL5Fields.h"

#include "KivNorvikKinds.h"

#include "KivNorvikFinding.h"
#include "KivNorvikFileReader.h"
#include "KivNorvikBL1Reader.h"
#include "KivNorvikBL2Reader.h"
#include "KivNorvikBL3Reader.h"
#include "KivNorvikBL4Reader.h"
#include "KivNorvikBL5Reader.h"

#include "KivNorvikFileWriter.h"

#include "KivNorvikFileFormat.h"
#include "KivNorvikRecordCheck.h"
