#pragma once
// Everything of the forms layer.

#include "platform/forms/Application.h"
#include "platform/forms/Canvas.h"
#include "platform/forms/Control.h"
#include "platform/forms/ControlHost.h"
#include "platform/forms/Controls.h"
#include "platform/forms/FlexGrid.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/Picture.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/TabControl.h"
#include "platform/forms/Types.h"
#include "platform/forms/UserControl.h"
